#pragma once
// Where SQL Server instances on the network are found: the SQL Server OLE DB provider's
// sources rowset, and the SQL Server Browser service asked directly over UDP. Windows builds
// use the provider through COM and winsock; the native build keeps an in-memory rowset that
// tests fill, and asks the Browser through BSD sockets.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// One row of the provider's sources rowset.
struct SqlSourceRow {
  std::string Name;  // SOURCES_NAME
  long Type = 0;     // SOURCES_TYPE: 1 a data source, 2 an enumerator, 3 a binary-compatible source
};

// Every row of the sources rowset of "SQLOLEDB Enumerator", first to last. Throws
// std::runtime_error naming the step that failed (and its result code) when the provider is
// missing or the enumerator fails.
std::vector<SqlSourceRow> SqlOleDbSources();

// One datagram received in answer to a UDP request.
struct UdpAnswer {
  std::string From;   // sender's address, dotted
  std::string Bytes;  // the datagram as received
};

// Sends one datagram (broadcast allowed) from a fresh socket to address:port and collects
// every datagram that reaches the socket until waitMs have passed since the request was sent.
// Throws std::runtime_error when the socket cannot be made or the request cannot be sent.
std::vector<UdpAnswer> UdpRequest(const std::string& address, std::uint16_t port, std::string_view request,
                                  int waitMs);

}  // namespace platform

// Control of the native build's in-memory sources rowset, for tests.
namespace platform::memsources {

// The rows the next scans return (none at start).
void SetRows(std::vector<SqlSourceRow> rows);
// A non-empty reason makes the next scans fail with it, as a missing provider does.
void SetFailure(std::string reason);
// No rows, no failure.
void Reset();

}  // namespace platform::memsources
