// The Windows builds' SQL sources: the sources rowset of the SQL Server OLE DB provider's
// enumerator read through COM, and the UDP request through winsock.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <mswsock.h>
#include <windows.h>
#include <oledb.h>
#include <oledberr.h>

#include <chrono>
#include <cstdio>
#include <cstddef>
#include <stdexcept>

#include "platform/SqlSources.h"
#include "platform/win32/Wide.h"

namespace platform {

namespace {

[[noreturn]] void Fail(const char* step, long code) {
  char text[256];
  std::snprintf(text, sizeof text, "%s failed: 0x%08lX", step, static_cast<unsigned long>(code));
  throw std::runtime_error(text);
}

void Check(HRESULT hr, const char* step) {
  if (FAILED(hr)) Fail(step, hr);
}

// Owns one COM interface pointer.
template <class T>
class Com {
 public:
  Com() = default;
  ~Com() {
    if (FPtr) FPtr->Release();
  }
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  T* operator->() const { return FPtr; }
  T* Get() const { return FPtr; }
  void** Out() { return reinterpret_cast<void**>(&FPtr); }

 private:
  T* FPtr = nullptr;
};

struct ComApartment {
  HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ~ComApartment() {
    if (SUCCEEDED(hr)) CoUninitialize();
  }
};

struct Row {
  DBSTATUS nameStatus;
  DBLENGTH nameLength;
  DBSTATUS typeStatus;
  LONG type;
  WCHAR name[1024];
};

// The 1-based ordinals of the two columns read, found by name.
void FindColumns(IRowset* rowset, DBORDINAL& nameColumn, DBORDINAL& typeColumn) {
  Com<IColumnsInfo> info;
  Check(rowset->QueryInterface(IID_IColumnsInfo, info.Out()), "IRowset::QueryInterface(IColumnsInfo)");
  DBORDINAL count = 0;
  DBCOLUMNINFO* columns = nullptr;
  OLECHAR* strings = nullptr;
  Check(info->GetColumnInfo(&count, &columns, &strings), "IColumnsInfo::GetColumnInfo");
  nameColumn = typeColumn = 0;
  for (DBORDINAL i = 0; i < count; ++i) {
    if (!columns[i].pwszName) continue;
    if (lstrcmpiW(columns[i].pwszName, L"SOURCES_NAME") == 0) nameColumn = columns[i].iOrdinal;
    if (lstrcmpiW(columns[i].pwszName, L"SOURCES_TYPE") == 0) typeColumn = columns[i].iOrdinal;
  }
  CoTaskMemFree(columns);
  CoTaskMemFree(strings);
  if (nameColumn == 0 || typeColumn == 0) throw std::runtime_error("the sources rowset has no SOURCES_NAME or SOURCES_TYPE");
}

DBBINDING Binding(DBORDINAL column, DBTYPE type, size_t value, size_t length, size_t status, DBLENGTH size) {
  DBBINDING b{};
  b.iOrdinal = column;
  b.obValue = value;
  b.obLength = length;
  b.obStatus = status;
  b.dwPart = DBPART_VALUE | DBPART_STATUS | (length != SIZE_MAX ? DBPART_LENGTH : 0);
  b.dwMemOwner = DBMEMOWNER_CLIENTOWNED;
  b.eParamIO = DBPARAMIO_NOTPARAM;
  b.cbMaxLen = size;
  b.wType = type;
  if (length == SIZE_MAX) b.obLength = 0;
  return b;
}

}  // namespace

std::vector<SqlSourceRow> SqlOleDbSources() {
  ComApartment apartment;
  CLSID clsid;
  Check(CLSIDFromProgID(L"SQLOLEDB Enumerator", &clsid), "CLSIDFromProgID(\"SQLOLEDB Enumerator\")");
  Com<ISourcesRowset> sources;
  Check(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_ISourcesRowset,
                         sources.Out()),
        "CoCreateInstance(SQLOLEDB Enumerator)");
  Com<IRowset> rowset;
  Check(sources->GetSourcesRowset(nullptr, IID_IRowset, 0, nullptr, reinterpret_cast<IUnknown**>(rowset.Out())),
        "ISourcesRowset::GetSourcesRowset");

  DBORDINAL nameColumn = 0, typeColumn = 0;
  FindColumns(rowset.Get(), nameColumn, typeColumn);
  Com<IAccessor> accessor;
  Check(rowset->QueryInterface(IID_IAccessor, accessor.Out()), "IRowset::QueryInterface(IAccessor)");
  DBBINDING bindings[2] = {
      Binding(nameColumn, DBTYPE_WSTR, offsetof(Row, name), offsetof(Row, nameLength), offsetof(Row, nameStatus),
              sizeof(Row::name)),
      Binding(typeColumn, DBTYPE_I4, offsetof(Row, type), SIZE_MAX, offsetof(Row, typeStatus), sizeof(LONG)),
  };
  HACCESSOR handle = 0;
  DBBINDSTATUS bindStatus[2] = {};
  Check(accessor->CreateAccessor(DBACCESSOR_ROWDATA, 2, bindings, sizeof(Row), &handle, bindStatus),
        "IAccessor::CreateAccessor");

  std::vector<SqlSourceRow> result;
  try {
    for (;;) {
      HROW rows[32];
      HROW* rowsOut = rows;
      DBCOUNTITEM got = 0;
      HRESULT hr = rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 32, &got, &rowsOut);
      Check(hr, "IRowset::GetNextRows");
      for (DBCOUNTITEM i = 0; i < got; ++i) {
        Row row{};
        HRESULT data = rowset->GetData(rows[i], handle, &row);
        if (FAILED(data)) {
          rowset->ReleaseRows(got, rows, nullptr, nullptr, nullptr);
          Fail("IRowset::GetData", data);
        }
        SqlSourceRow r;
        if (row.nameStatus == DBSTATUS_S_OK || row.nameStatus == DBSTATUS_S_TRUNCATED) {
          row.name[sizeof(row.name) / sizeof(WCHAR) - 1] = L'\0';
          r.Name = win32::Utf8(row.name);
        }
        r.Type = row.typeStatus == DBSTATUS_S_OK ? row.type : 0;
        result.push_back(std::move(r));
      }
      if (got > 0) rowset->ReleaseRows(got, rows, nullptr, nullptr, nullptr);
      if (got == 0 || hr == DB_S_ENDOFROWSET) break;
    }
  } catch (...) {
    accessor->ReleaseAccessor(handle, nullptr);
    throw;
  }
  accessor->ReleaseAccessor(handle, nullptr);
  return result;
}

namespace {

struct Winsock {
  Winsock() {
    WSADATA data;
    int rc = WSAStartup(MAKEWORD(2, 2), &data);
    if (rc != 0) Fail("WSAStartup", rc);
  }
  ~Winsock() { WSACleanup(); }
};

class Socket {
 public:
  Socket() : FSocket(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP)) {}
  ~Socket() {
    if (FSocket != INVALID_SOCKET) closesocket(FSocket);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  SOCKET Get() const { return FSocket; }

 private:
  SOCKET FSocket;
};

}  // namespace

std::vector<UdpAnswer> UdpRequest(const std::string& address, std::uint16_t port, std::string_view request,
                                  int waitMs) {
  Winsock winsock;
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  if (InetPtonA(AF_INET, address.c_str(), &to.sin_addr) != 1)
    throw std::runtime_error("not an IPv4 address: " + address);

  Socket sock;
  if (sock.Get() == INVALID_SOCKET) Fail("socket", WSAGetLastError());
  BOOL on = TRUE;
  if (setsockopt(sock.Get(), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof on) != 0)
    Fail("setsockopt(SO_BROADCAST)", WSAGetLastError());
  // Windows reports a refused port as a reset of the next receive; no answer is all it means.
  BOOL report = FALSE;
  DWORD returned = 0;
  WSAIoctl(sock.Get(), SIO_UDP_CONNRESET, &report, sizeof report, nullptr, 0, &returned, nullptr, nullptr);
  if (sendto(sock.Get(), request.data(), static_cast<int>(request.size()), 0, reinterpret_cast<sockaddr*>(&to),
             sizeof to) == SOCKET_ERROR)
    Fail(("sendto " + address).c_str(), WSAGetLastError());

  std::vector<UdpAnswer> answers;
  std::string buffer(65536, '\0');
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(sock.Get(), &readable);
    timeval tv{static_cast<long>(left.count() / 1000), static_cast<long>((left.count() % 1000) * 1000)};
    int ready = select(0, &readable, nullptr, nullptr, &tv);
    if (ready == SOCKET_ERROR) Fail("select", WSAGetLastError());
    if (ready == 0) break;
    sockaddr_in from{};
    int fromLength = sizeof from;
    int n = recvfrom(sock.Get(), buffer.data(), static_cast<int>(buffer.size()), 0, reinterpret_cast<sockaddr*>(&from),
                     &fromLength);
    if (n == SOCKET_ERROR) {
      int err = WSAGetLastError();
      if (err == WSAECONNRESET || err == WSAEMSGSIZE || err == WSAEINTR) continue;
      Fail("recvfrom", err);
    }
    char text[INET_ADDRSTRLEN] = {};
    InetNtopA(AF_INET, &from.sin_addr, text, sizeof text);
    answers.push_back({text, buffer.substr(0, static_cast<size_t>(n))});
  }
  return answers;
}

}  // namespace platform
