// The SQL Server Resolution Protocol: request, answers, and the names they carry.
#include "sql/Ssrp.h"

#include <algorithm>

#include "platform/SqlSources.h"
#include "platform/Text.h"

namespace {

constexpr unsigned char kClntBcastEx = 0x02;
constexpr unsigned char kSvrResp = 0x05;

std::vector<std::string_view> SplitFields(std::string_view data) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  for (;;) {
    size_t semi = data.find(';', start);
    if (semi == std::string_view::npos) {
      fields.push_back(data.substr(start));
      return fields;
    }
    fields.push_back(data.substr(start, semi - start));
    start = semi + 1;
  }
}

bool UsableName(std::string_view name) {
  if (name.empty()) return false;
  return std::none_of(name.begin(), name.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == '\\';
  });
}

}  // namespace

TSqlBrowserTarget& SqlBrowserTarget() {
  static TSqlBrowserTarget target;
  return target;
}

std::string SsrpBroadcastRequest() { return std::string(1, static_cast<char>(kClntBcastEx)); }

std::vector<std::string> ParseSsrpResponse(std::string_view datagram) {
  std::vector<std::string> names;
  if (datagram.size() < 3 || static_cast<unsigned char>(datagram[0]) != kSvrResp) return names;
  size_t size = static_cast<unsigned char>(datagram[1]) | (static_cast<size_t>(static_cast<unsigned char>(datagram[2])) << 8);
  if (size == 0 || datagram.size() - 3 < size) return names;
  // The names are in the server's code page: the ANSI one is the best guess a client has.
  std::string data = platform::Utf8FromAnsi(datagram.substr(3, size));

  // key;value;key;value;...;; per instance: an empty key closes the instance's record. The
  // last field is what follows the final ';': empty in a whole answer, a fragment otherwise.
  std::vector<std::string_view> fields = SplitFields(data);
  const size_t complete = fields.size() - 1;
  std::string server, instance;
  for (size_t i = 0; i < complete;) {
    std::string_view key = fields[i];
    if (key.empty()) {
      if (UsableName(server) && UsableName(instance))
        names.push_back(platform::SameTextAscii(instance, "MSSQLSERVER") ? server : server + "\\" + instance);
      server.clear();
      instance.clear();
      ++i;
      continue;
    }
    if (i + 1 >= complete) break;  // a key without its value: the record is cut short
    std::string_view value = fields[i + 1];
    if (platform::SameTextAscii(key, "ServerName"))
      server = value;
    else if (platform::SameTextAscii(key, "InstanceName"))
      instance = value;
    i += 2;
  }
  return names;
}

std::vector<std::string> BrowseSqlServers(const TSqlBrowserTarget& target) {
  std::vector<std::string> names;
  for (const platform::UdpAnswer& answer :
       platform::UdpRequest(target.Address, target.Port, SsrpBroadcastRequest(), target.WaitMs)) {
    for (std::string& name : ParseSsrpResponse(answer.Bytes)) {
      bool known = std::any_of(names.begin(), names.end(),
                               [&](const std::string& n) { return platform::SameTextAscii(n, name); });
      if (!known) names.push_back(std::move(name));
    }
  }
  return names;
}
