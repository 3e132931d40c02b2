#pragma once
// The SQL Server Resolution Protocol, client side: one broadcast request to the SQL Server
// Browser service (UDP port 1434) and the instance lists it answers with. The installer asks
// the Browser itself because the provider's enumerator is deprecated and missing on many
// machines; both find the same servers.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Where the request goes and how long answers are awaited. The program broadcasts on the
// local network; tests point it at a stand-in Browser on loopback.
struct TSqlBrowserTarget {
  std::string Address = "255.255.255.255";
  std::uint16_t Port = 1434;
  int WaitMs = 1500;
};

// The target the network scan uses (program-wide, changed only by tests).
TSqlBrowserTarget& SqlBrowserTarget();

// CLNT_BCAST_EX: the single byte 0x02, asking every Browser for all its instances.
std::string SsrpBroadcastRequest();

// The instance names of one SVR_RESP answer, in the order listed: "SERVER\INSTANCE", or the
// bare server name for the default instance (MSSQLSERVER). The answer must start with 0x05
// and hold at least the data length its header gives; anything after that is ignored. An
// answer that is malformed or cut short yields nothing, and so does an instance record
// without a server or instance name, with a name holding control characters or backslashes,
// or one that is not closed by ";;".
std::vector<std::string> ParseSsrpResponse(std::string_view datagram);

// Sends the request to the target and gathers the names of every answer, in arrival order,
// without repeats (names compared ignoring ASCII case). Throws std::runtime_error when the
// request cannot be sent.
std::vector<std::string> BrowseSqlServers(const TSqlBrowserTarget& target);
