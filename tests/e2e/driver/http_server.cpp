#include "driver/http_server.h"

#include <winsock2.h>
#include <ws2tcpip.h>

namespace e2e {
namespace {

const char* Reason(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 302:
      return "Found";
    case 404:
      return "Not Found";
    default:
      return "Error";
  }
}

struct WinsockStartup {
  WinsockStartup() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
  }
};

SOCKET ListeningSocket(int& port) {
  static WinsockStartup startup;
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return s;
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  int length = sizeof address;
  if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(s, 8) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    closesocket(s);
    return INVALID_SOCKET;
  }
  port = ntohs(address.sin_port);
  return s;
}

}  // namespace

HttpServer::HttpServer() {
  InitializeCriticalSection(&lock_);
  SOCKET s = ListeningSocket(port_);
  listener_ = s;
  if (s == INVALID_SOCKET) {
    port_ = 0;
    return;
  }
  thread_ = CreateThread(nullptr, 0, ServeThread, this, 0, nullptr);
}

HttpServer::~HttpServer() {
  stopping_ = true;
  if (listener_ != INVALID_SOCKET) closesocket(listener_);
  if (thread_ != nullptr) {
    WaitForSingleObject(thread_, 5000);
    CloseHandle(thread_);
  }
  DeleteCriticalSection(&lock_);
}

std::string HttpServer::BaseAddress() const { return "http://127.0.0.1:" + std::to_string(port_); }

void HttpServer::Answer(const std::string& path, const HttpResponse& response) {
  EnterCriticalSection(&lock_);
  responses_[path] = response;
  LeaveCriticalSection(&lock_);
}

int HttpServer::Requests(const std::string& path) {
  EnterCriticalSection(&lock_);
  const int count = requests_[path];
  LeaveCriticalSection(&lock_);
  return count;
}

HttpResponse HttpServer::Lookup(const std::string& path) {
  EnterCriticalSection(&lock_);
  ++requests_[path];
  const auto found = responses_.find(path);
  HttpResponse response;
  if (found != responses_.end()) {
    response = found->second;
  } else {
    response.status = 404;
    response.body = "<html><body>Not found</body></html>";
  }
  LeaveCriticalSection(&lock_);
  return response;
}

std::string HttpServer::UnreachableAddress() {
  int port = 0;
  SOCKET s = ListeningSocket(port);
  if (s != INVALID_SOCKET) closesocket(s);
  return "http://127.0.0.1:" + std::to_string(port);
}

DWORD WINAPI HttpServer::ServeThread(void* self) {
  static_cast<HttpServer*>(self)->Serve();
  return 0;
}

void HttpServer::Serve() {
  while (!stopping_) {
    SOCKET client = accept(listener_, nullptr, nullptr);
    if (client == INVALID_SOCKET) break;
    std::string request;
    char chunk[2048];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
      const int got = recv(client, chunk, sizeof chunk, 0);
      if (got <= 0) break;
      request.append(chunk, got);
    }
    const size_t start = request.find(' ');
    const size_t end = start == std::string::npos ? std::string::npos : request.find(' ', start + 1);
    std::string path = end == std::string::npos ? "/" : request.substr(start + 1, end - start - 1);
    Reply(client, Lookup(path));
    shutdown(client, SD_SEND);
    closesocket(client);
  }
}

bool HttpServer::Pause(int ms) {
  for (int waited = 0; waited < ms && !stopping_; waited += 50) Sleep(50);
  return !stopping_;
}

void HttpServer::Reply(UINT_PTR client, const HttpResponse& response) {
  if (response.silent) {
    // Holds the connection until the client gives up or the server stops.
    while (!stopping_) {
      fd_set readable;
      FD_ZERO(&readable);
      FD_SET(client, &readable);
      timeval wait = {0, 50 * 1000};
      char byte;
      if (select(0, &readable, nullptr, nullptr, &wait) > 0 && recv(client, &byte, 1, 0) <= 0) return;
    }
    return;
  }
  if (!Pause(response.delayMs)) return;
  const std::string length =
      response.announcedLength.empty() ? std::to_string(response.body.size()) : response.announcedLength;
  std::string reply = "HTTP/1.1 " + std::to_string(response.status) + " " + Reason(response.status) +
                      "\r\nContent-Type: text/plain" + (length == "none" ? "" : "\r\nContent-Length: " + length) +
                      (response.location.empty() ? "" : "\r\nLocation: " + response.location) +
                      "\r\nCache-Control: no-cache\r\nConnection: close\r\n\r\n";
  const std::string body =
      response.cutAfter >= 0 ? response.body.substr(0, static_cast<size_t>(response.cutAfter)) : response.body;
  if (response.trickleMs <= 0) {
    reply += body;
    send(client, reply.data(), static_cast<int>(reply.size()), 0);
    return;
  }
  if (send(client, reply.data(), static_cast<int>(reply.size()), 0) <= 0) return;
  for (char byte : body) {
    if (!Pause(response.trickleMs) || send(client, &byte, 1, 0) <= 0) return;
  }
}

}  // namespace e2e
