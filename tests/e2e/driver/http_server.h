// A small HTTP server on 127.0.0.1 for the update tests: it runs on a thread
// of the test process and answers each path with a response the test sets.
#pragma once

#include <windows.h>

#include <map>
#include <string>

namespace e2e {

struct HttpResponse {
  int status = 200;
  std::string body;
  // Sends only this many bytes of the body while announcing all of it, as a
  // transfer cut off midway; negative sends the whole body.
  int cutAfter = -1;
  // Waits this long before answering, as a slow connection would.
  int delayMs = 0;
  // Hostile answers: a Location header (for a redirect status), a
  // Content-Length other than the body's ("none" leaves it out, so that
  // only the closing of the connection ends the body), the body sent one byte at a time
  // this many milliseconds apart, or no answer at all while the connection
  // is held open.
  std::string location = {};
  std::string announcedLength = {};
  int trickleMs = 0;
  bool silent = false;
};

class HttpServer {
 public:
  HttpServer();
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  bool Running() const { return port_ != 0; }
  // "http://127.0.0.1:<port>"
  std::string BaseAddress() const;
  void Answer(const std::string& path, const HttpResponse& response);
  int Requests(const std::string& path);

  // An address where nothing listens.
  static std::string UnreachableAddress();

 private:
  static DWORD WINAPI ServeThread(void* self);
  void Serve();
  void Reply(UINT_PTR client, const HttpResponse& response);
  // Sleeps, but wakes when the server stops; false then.
  bool Pause(int ms);
  HttpResponse Lookup(const std::string& path);

  UINT_PTR listener_;
  int port_ = 0;
  HANDLE thread_ = nullptr;
  CRITICAL_SECTION lock_;
  std::map<std::string, HttpResponse> responses_;
  std::map<std::string, int> requests_;
  volatile bool stopping_ = false;
};

}  // namespace e2e
