// Command datagrams for the real-time control tests: fields joined at ","
// and the requests they left queued.
#pragma once

#include <string>
#include <vector>

#include "core/UDPRealtime.h"

inline std::string Join(const std::vector<std::string>& fields) {
  std::string d;
  for (size_t i = 0; i < fields.size(); ++i) d += (i ? "," : "") + fields[i];
  return d;
}

// Queued viewer requests (entries that are not all 0).
inline int TakenRequests() {
  int n = 0;
  for (const TUDPRequest& q : UDPRealtime.Requests) n += (q[1] || q[2] || q[3]) ? 1 : 0;
  return n;
}
