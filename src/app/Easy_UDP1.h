// The UDP socket of the viewer link: one datagram socket bound on a local
// port, whose waiting datagrams are read between two frames and handed to a
// receive callback, and which sends datagrams to a host and port. No
// operation raises: every failure is one call of the error callback.
#pragma once

#include <memory>
#include <string>

#include "core/Arrays.h"

using TUDPReceiveProc = void (*)(const std::string& Host, u16 Port, const void* Data, i32 Size);
using TUDPErrorProc = void (*)(const std::string& Msg);

class EUDPSocket {
 public:
  static constexpr i32 kBufferSize = 8192;
  // Most datagrams read in one pause between two frames, so that a sender
  // that never stops cannot hold the match; the rest wait for the next pause.
  static constexpr int kMaxReadsPerPoll = 256;

  EUDPSocket();
  ~EUDPSocket();
  EUDPSocket(const EUDPSocket&) = delete;
  EUDPSocket& operator=(const EUDPSocket&) = delete;

  // Opens the socket and binds it on the loopback address at Port (0 takes a
  // free port): the viewer runs on this machine, and no datagram from
  // another host reaches the match. Failures go to OnError and leave the
  // socket unbound.
  void Start(u16 Port);
  // The bytes sent, 0 on any failure (reported through OnError).
  i32 SendData(const std::string& Host, u16 Port, const void* Data, i32 Size);
  // Reads the datagrams that wait, one OnReceive (or OnError) each. The
  // application's idle loop calls this between two frames, never inside one.
  void ReceiveWaiting();
  // The bound port, 0 when not bound.
  u16 LocalPort() const;

  TUDPReceiveProc OnReceive;
  TUDPErrorProc OnError;
  bool Bound;
  i32 SocketHandle;
  i32 MaxPacket;
  u8 Buffer[kBufferSize];

 private:
  void CloseSocket();
};

// The program's one socket, made by CreateUDPSocket; it lives until the
// process ends or start-up runs again.
extern std::unique_ptr<EUDPSocket> UDPSocket;

// Creates the one socket (replacing an earlier one), wires its callbacks and
// starts it on UDPListenPort. A failure to start goes to the error callback;
// start-up goes on without a working socket.
void CreateUDPSocket();

// Writes the receive notice to standard error (no callback was set).
void DefaultOnReceive(const std::string& Host, u16 Port, const void* Data, i32 Size);
// Writes the error text to standard error.
void DefaultOnError(const std::string& Msg);

// The dotted form of an address held in network byte order.
std::string IPToText(u32 Addr);
// A dotted address or a host name; all bits set when neither gives one.
u32 ResolveHost(const std::string& Host);
// The English text of a socket-layer error code.
std::string WinSockErrorText(i32 Code);
