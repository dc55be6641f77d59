#include "platform/Sockets.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

struct TErrorPair {
  int osError;
  int32_t code;
};

// The socket layer numbers its errors 10000 + the classic BSD numbers; the
// operating system's own numbers differ, so they are mapped one by one.
const TErrorPair kErrorCodes[] = {
    {EINTR, 10004},           {EBADF, 10009},           {EACCES, 10013},
    {EFAULT, 10014},          {EINVAL, 10022},          {EMFILE, 10024},
    {EWOULDBLOCK, 10035},     {EAGAIN, 10035},          {EINPROGRESS, 10036},
    {EALREADY, 10037},        {ENOTSOCK, 10038},        {EDESTADDRREQ, 10039},
    {EMSGSIZE, 10040},        {EPROTOTYPE, 10041},      {ENOPROTOOPT, 10042},
    {EPROTONOSUPPORT, 10043}, {ESOCKTNOSUPPORT, 10044}, {EOPNOTSUPP, 10045},
    {EPFNOSUPPORT, 10046},    {EAFNOSUPPORT, 10047},    {EADDRINUSE, 10048},
    {EADDRNOTAVAIL, 10049},   {ENETDOWN, 10050},        {ENETUNREACH, 10051},
    {ENETRESET, 10052},       {ECONNABORTED, 10053},    {ECONNRESET, 10054},
    {ENOBUFS, 10055},         {EISCONN, 10056},         {ENOTCONN, 10057},
    {ESHUTDOWN, 10058},       {ETOOMANYREFS, 10059},    {ETIMEDOUT, 10060},
    {ECONNREFUSED, 10061},    {ELOOP, 10062},           {ENAMETOOLONG, 10063},
    {EHOSTDOWN, 10064},       {EHOSTUNREACH, 10065},    {ENOTEMPTY, 10066},
    {EUSERS, 10068},          {EDQUOT, 10069},          {ESTALE, 10070},
    {EREMOTE, 10071},
};

thread_local int32_t t_lastError = 0;

void NoteError() { t_lastError = SocketErrorCode(errno); }

sockaddr_in MakeAddress(uint32_t addr, uint16_t port) {
  sockaddr_in a;
  std::memset(&a, 0, sizeof a);
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = addr;
  return a;
}

}  // namespace

int32_t SocketErrorCode(int osError) {
  for (const TErrorPair& p : kErrorCodes)
    if (p.osError == osError) return p.code;
  return 0;
}

int32_t SocketLastError() { return t_lastError; }

int32_t SocketOpenUDP() {
  const int s = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
  if (s < 0) NoteError();
  return s < 0 ? kNoSocket : s;
}

void SocketClose(int32_t sock) {
  if (sock != kNoSocket) ::close(sock);
}

bool SocketBindLoopback(int32_t sock, uint16_t port) {
  const sockaddr_in a = MakeAddress(htonl(INADDR_LOOPBACK), port);
  if (::bind(sock, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0) return true;
  NoteError();
  return false;
}

uint16_t SocketLocalPort(int32_t sock) {
  sockaddr_in a;
  socklen_t len = sizeof a;
  if (::getsockname(sock, reinterpret_cast<sockaddr*>(&a), &len) != 0) return 0;
  return ntohs(a.sin_port);
}

bool SocketSetNonBlocking(int32_t sock) {
  const int flags = ::fcntl(sock, F_GETFL, 0);
  if (flags >= 0 && ::fcntl(sock, F_SETFL, flags | O_NONBLOCK) == 0) return true;
  NoteError();
  return false;
}

bool SocketSetBroadcast(int32_t sock, bool on) {
  const int v = on ? 1 : 0;
  if (::setsockopt(sock, SOL_SOCKET, SO_BROADCAST, &v, sizeof v) == 0) return true;
  NoteError();
  return false;
}

bool SocketGetBufferSize(int32_t sock, TSocketBuffer which, int32_t& value, int32_t& length) {
  int v = 0;
  socklen_t len = sizeof v;
  const int opt = which == TSocketBuffer::Send ? SO_SNDBUF : SO_RCVBUF;
  if (::getsockopt(sock, SOL_SOCKET, opt, &v, &len) != 0) {
    NoteError();
    return false;
  }
  value = v;
  length = static_cast<int32_t>(len);
  return true;
}

TReceiveResult SocketReceive(int32_t sock, void* buffer, int32_t capacity, int32_t& size,
                             uint32_t& fromAddr, uint16_t& fromPort) {
  sockaddr_in from;
  std::memset(&from, 0, sizeof from);
  iovec io{buffer, static_cast<size_t>(capacity > 0 ? capacity : 0)};
  msghdr msg;
  std::memset(&msg, 0, sizeof msg);
  msg.msg_name = &from;
  msg.msg_namelen = sizeof from;
  msg.msg_iov = &io;
  msg.msg_iovlen = 1;
  ssize_t n;
  do {
    n = ::recvmsg(sock, &msg, MSG_DONTWAIT);
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    if (errno == EAGAIN || errno == EWOULDBLOCK) return TReceiveResult::NothingWaiting;
    NoteError();
    return TReceiveResult::Failed;
  }
  fromAddr = from.sin_addr.s_addr;
  fromPort = ntohs(from.sin_port);
  size = static_cast<int32_t>(n);
  if (msg.msg_flags & MSG_TRUNC) {
    t_lastError = kSockErrMessageTooLong;
    return TReceiveResult::TooLong;
  }
  return TReceiveResult::Received;
}

int32_t SocketSendTo(int32_t sock, uint32_t addr, uint16_t port, const void* data, int32_t size) {
  const sockaddr_in a = MakeAddress(addr, port);
  ssize_t n;
  do {
    n = ::sendto(sock, data, static_cast<size_t>(size), 0, reinterpret_cast<const sockaddr*>(&a),
                 sizeof a);
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    NoteError();
    return -1;
  }
  return static_cast<int32_t>(n);
}

bool SocketHasData(int32_t sock) {
  pollfd p{sock, POLLIN, 0};
  return ::poll(&p, 1, 0) == 1 && (p.revents & POLLIN) != 0;
}

uint32_t ParseDottedAddress(const std::string& text) {
  uint8_t bytes[4];
  size_t i = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (i >= text.size() || text[i] != '.') return kNoAddress;
      ++i;
    }
    const size_t start = i;
    unsigned value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - start < 3)
      value = value * 10 + static_cast<unsigned>(text[i++] - '0');
    if (i == start || value > 255) return kNoAddress;
    bytes[part] = static_cast<uint8_t>(value);
  }
  if (i != text.size()) return kNoAddress;
  uint32_t addr;
  std::memcpy(&addr, bytes, 4);
  return addr;
}

uint32_t LookUpHostAddress(const std::string& name) {
  addrinfo hints;
  std::memset(&hints, 0, sizeof hints);
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr)
    return kNoAddress;
  uint32_t addr = kNoAddress;
  if (found->ai_family == AF_INET && found->ai_addr != nullptr)
    addr = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
  ::freeaddrinfo(found);
  return addr;
}
