#pragma once
#include <string>

// Socket failures are reported with the Windows Sockets error numbers the engine's messages use.
namespace SocketError {

constexpr int HostNotFound = 11001;
constexpr int WouldBlock = 10035;
constexpr int NotSocket = 10038;
constexpr int ConnectionAborted = 10053;
constexpr int ConnectionReset = 10054;
constexpr int Shutdown = 10058;
constexpr int TimedOut = 10060;
constexpr int ConnectionRefused = 10061;

// The Windows Sockets number of a POSIX errno value; unknown values keep their own number.
int FromErrno(int error);
// The text of a Windows Sockets number; empty for a number without a text.
std::string Text(int number);
// "Socket Error # <n>" CR LF <text>.
std::string Message(int number);

}  // namespace SocketError
