// The few datagram-socket services the viewer link needs, over the
// operating system's sockets. Addresses are IPv4 in network byte order (the
// first byte in memory is the first number of the dotted form); ports are in
// host byte order. Errors come back as the socket layer's error codes
// (10000 and up, plus 11001 to 11004 for name lookups), whatever the
// operating system numbers them.
#pragma once

#include <cstdint>
#include <string>

constexpr int32_t kNoSocket = -1;
// The "no address" value: all bits set.
constexpr uint32_t kNoAddress = 0xFFFFFFFFu;

// Error codes of the socket layer used by name here.
constexpr int32_t kSockErrWouldBlock = 10035;
constexpr int32_t kSockErrMessageTooLong = 10040;
constexpr int32_t kSockErrBadAddress = 10014;

// Maps an operating-system error number to the socket layer's code; 0 for a
// number that has no code.
int32_t SocketErrorCode(int osError);

// The code of the last failed call on this thread.
int32_t SocketLastError();

// A UDP socket of the Internet family, or kNoSocket.
int32_t SocketOpenUDP();
void SocketClose(int32_t sock);
// Binds to the loopback address (127.0.0.1) at `port`, so that only
// programs on this machine reach it; port 0 takes a free one.
bool SocketBindLoopback(int32_t sock, uint16_t port);
// The port the socket is bound to, 0 when unknown.
uint16_t SocketLocalPort(int32_t sock);
bool SocketSetNonBlocking(int32_t sock);
bool SocketSetBroadcast(int32_t sock, bool on);

enum class TSocketBuffer { Send, Receive };
// Reads a buffer-size option; `length` is the size the layer answered with.
bool SocketGetBufferSize(int32_t sock, TSocketBuffer which, int32_t& value, int32_t& length);

enum class TReceiveResult { Received, NothingWaiting, TooLong, Failed };
// Takes one waiting datagram without waiting. `size` gets its length. A
// datagram longer than `capacity` is taken and dropped (TooLong).
TReceiveResult SocketReceive(int32_t sock, void* buffer, int32_t capacity, int32_t& size,
                             uint32_t& fromAddr, uint16_t& fromPort);

// Sends one datagram; the bytes sent, or -1.
int32_t SocketSendTo(int32_t sock, uint32_t addr, uint16_t port, const void* data, int32_t size);

// Whether a datagram waits to be read (without taking it).
bool SocketHasData(int32_t sock);

// "a.b.c.d" with four decimal numbers 0..255, else kNoAddress.
uint32_t ParseDottedAddress(const std::string& text);
// The first IPv4 address a name lookup gives, else kNoAddress.
uint32_t LookUpHostAddress(const std::string& name);
