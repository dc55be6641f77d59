#include "app/Easy_UDP1.h"

#include <array>
#include <cstdio>
#include <cstring>

#include "app/MainUnit.h"
#include "app/UDPCommands.h"
#include "platform/Application.h"
#include "platform/Sockets.h"

namespace {

// The started sockets, polled by the application's idle loop: they stand in
// for the hidden windows to which the socket layer posts its read events.
std::array<EUDPSocket*, 8> g_started{};

void PollStartedSockets() {
  // A callback may destroy a socket, so the slot is read again each time.
  for (size_t i = 0; i < g_started.size(); ++i)
    if (g_started[i] != nullptr) g_started[i]->ReceiveWaiting();
}

bool Register(EUDPSocket* s) {
  Application.AddPoller(PollStartedSockets);
  for (EUDPSocket*& p : g_started) {
    if (p == nullptr) {
      p = s;
      return true;
    }
  }
  return false;
}

void Unregister(EUDPSocket* s) {
  for (EUDPSocket*& p : g_started)
    if (p == s) p = nullptr;
}

// The callbacks' texts are laid out for a message box ('\r' between lines).
void WriteNotice(std::string text) {
  for (char& c : text)
    if (c == '\r') c = '\n';
  std::fprintf(stderr, "Easy_UDP: %s\n", text.c_str());
}

struct TErrorText {
  i32 code;
  const char* text;
};

const TErrorText kErrorTexts[] = {
    {10004, "Interrupted system call"},
    {10009, "Bad file number"},
    {10013, "Permission denied"},
    {10014, "Bad address"},
    {10022, "Invalid argument"},
    {10024, "Too many open files"},
    {10035, "Operation would block"},
    {10036, "Operation now in progress"},
    {10037, "Operation already in progress"},
    {10038, "Socket operation on non-socket"},
    {10039, "Destination address required"},
    {10040, "Message too long"},
    {10041, "Protocol wrong type for socket"},
    {10042, "Protocol not available"},
    {10043, "Protocol not supported"},
    {10044, "Socket type not supported"},
    {10045, "Operation not supported on socket"},
    {10046, "Protocol family not supported"},
    {10047, "Address family not supported by protocol family"},
    {10048, "Address already in use"},
    {10049, "Can't assign requested address"},
    {10050, "Network is down"},
    {10051, "Network is unreachable"},
    {10052, "Network dropped connection on reset"},
    {10053, "Software caused connection abort"},
    {10054, "Connection reset by peer"},
    {10055, "No buffer space available"},
    {10056, "Socket is already connected"},
    {10057, "Socket is not connected"},
    {10058, "Can't send after socket shutdown"},
    {10059, "Too many references: can't splice"},
    {10060, "Connection timed out"},
    {10061, "Connection refused"},
    {10062, "Too many levels of symbolic links"},
    {10063, "File name too long"},
    {10064, "Host is down"},
    {10065, "No route to host"},
    {10066, "Directory not empty"},
    {10067, "Too many processes"},
    {10068, "Too many users"},
    {10069, "Disc quota exceeded"},
    {10070, "Stale NFS file handle"},
    {10071, "Too many levels of remote in path"},
    {10091, "Network sub-system is unusable"},
    {10092, "WinSock DLL cannot support this application"},
    {10093, "WinSock not initialized"},
    {11001, "Host not found"},
    {11002, "Non-authoritative host not found"},
    {11003, "Non-recoverable error"},
    {11004, "No Data"},
};

}  // namespace

// Defined after the list of started sockets, so that it is destroyed first.
std::unique_ptr<EUDPSocket> UDPSocket;

EUDPSocket::EUDPSocket()
    : OnReceive(DefaultOnReceive),
      OnError(DefaultOnError),
      Bound(false),
      SocketHandle(kNoSocket),
      MaxPacket(kBufferSize),
      Buffer{} {}

EUDPSocket::~EUDPSocket() {
  Unregister(this);
  if (Bound) CloseSocket();
  Bound = false;
}

void EUDPSocket::CloseSocket() {
  SocketClose(SocketHandle);
  SocketHandle = kNoSocket;
}

void EUDPSocket::Start(u16 Port) {
  // A second start replaces the first socket rather than leaking it.
  Unregister(this);
  if (Bound) CloseSocket();
  Bound = false;
  // The operating system's socket layer needs no start-up of its own.
  SocketHandle = SocketOpenUDP();
  if (SocketHandle == kNoSocket) {
    OnError("Start: Cannot Create Socket.");
    return;
  }
  if (!SocketBindLoopback(SocketHandle, Port)) {
    OnError("Start: Cannot Bind Socket.");
    CloseSocket();
    return;
  }
  // Read events: a non-blocking socket that the idle loop polls.
  if (!SocketSetNonBlocking(SocketHandle) || !Register(this)) {
    OnError("Start: Cannot Select Socket.");
    CloseSocket();
    return;
  }
  Bound = true;
  for (TSocketBuffer which : {TSocketBuffer::Send, TSocketBuffer::Receive}) {
    i32 value = 0, length = 0;
    if (SocketGetBufferSize(SocketHandle, which, value, length) && length == 4 && value < MaxPacket)
      MaxPacket = value;
  }
  SocketSetBroadcast(SocketHandle, true);
}

void EUDPSocket::ReceiveWaiting() {
  for (int n = 0; n < kMaxReadsPerPoll && Bound; ++n) {
    i32 size = 0;
    u32 from = 0;
    u16 fromPort = 0;
    const i32 capacity = MaxPacket < kBufferSize ? MaxPacket : kBufferSize;
    switch (SocketReceive(SocketHandle, Buffer, capacity, size, from, fromPort)) {
      case TReceiveResult::NothingWaiting:
        return;
      case TReceiveResult::Received:
        OnReceive(IPToText(from), fromPort, Buffer, size);
        break;
      case TReceiveResult::TooLong:  // dropped
        OnError("OnReceive: " + WinSockErrorText(kSockErrMessageTooLong));
        break;
      case TReceiveResult::Failed:
        OnError("OnReceive: " + WinSockErrorText(SocketLastError()));
        return;
    }
  }
}

i32 EUDPSocket::SendData(const std::string& Host, u16 Port, const void* Data, i32 Size) {
  if (Host.empty()) {
    OnError("SendData: No Host Specified.");
    return 0;
  }
  if (!Bound) {
    OnError("SendData: Socket Not Bound.");
    return 0;
  }
  if (MaxPacket < Size) {
    OnError("SendData: Packet Too Big (" + std::to_string(MaxPacket) + " Bytes Max).");
    return 0;
  }
  // A negative size or missing data would read memory that is not there.
  if (Size < 0 || (Data == nullptr && Size > 0)) {
    OnError("SendData: " + WinSockErrorText(kSockErrBadAddress));
    return 0;
  }
  const u32 addr = ResolveHost(Host);
  if (addr == kNoAddress) {
    OnError("SendData: Host Not Found.");
    return 0;
  }
  const i32 sent = SocketSendTo(SocketHandle, addr, Port, Data, Size);
  if (sent < 0) {
    OnError("SendData: " + WinSockErrorText(SocketLastError()));
    return 0;
  }
  return sent;
}

u16 EUDPSocket::LocalPort() const { return Bound ? SocketLocalPort(SocketHandle) : 0; }

void CreateUDPSocket() {
  UDPSocket.reset();
  UDPSocket = std::make_unique<EUDPSocket>();
  UDPSocket->OnError = IgnoreUDPError;
  UDPSocket->OnReceive = ReceiveUDPCommand;
  UDPSocket->Start(static_cast<u16>(UDPListenPort));
}

void DefaultOnReceive(const std::string& Host, u16 Port, const void* Data, i32 Size) {
  (void)Data;
  WriteNotice("Data Received\rOnReiceive not Assigned\rHost: " + Host + "\r" +
              "Port: " + std::to_string(Port) + "\r" + "Size: " + std::to_string(Size));
}

void DefaultOnError(const std::string& Msg) { WriteNotice("Error:\r" + Msg); }

std::string IPToText(u32 Addr) {
  u8 b[4];
  std::memcpy(b, &Addr, 4);
  return std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." +
         std::to_string(b[3]);
}

u32 ResolveHost(const std::string& Host) {
  const u32 addr = ParseDottedAddress(Host);
  if (addr != kNoAddress) return addr;
  return LookUpHostAddress(Host);
}

std::string WinSockErrorText(i32 Code) {
  for (const TErrorText& e : kErrorTexts)
    if (e.code == Code) return e.text;
  return "Not a WinSock error.";
}
