#include "platform/url_download.h"

#include <windows.h>
#include <wininet.h>

#include <memory>
#include <new>
#include <string_view>
#include <type_traits>

#include "platform/handles.h"
#include "platform/mutex.h"
#include "platform/painting_wait.h"
#include "platform/text.h"
#include "platform/worker_thread.h"

namespace platform {
namespace {

constexpr DWORD kPollMs = 100;
// No server needs a longer redirect address than this.
constexpr DWORD kMaxLocationBytes = 16 * 1024;

struct InternetCloser {
  void operator()(HINTERNET handle) const { InternetCloseHandle(handle); }
};
using UniqueInternet = std::unique_ptr<std::remove_pointer_t<HINTERNET>, InternetCloser>;

// One download, shared by the waiting thread and the worker: a waiter that
// gives up leaves it to the worker, which frees it when it notices.
class Transfer {
 public:
  Transfer(std::wstring url, const TransferLimits& limits) : url_(std::move(url)), limits_(limits) {}

  bool Started() const { return static_cast<bool>(finished_); }
  // Signalled once the outcome is known, which may be well before the
  // worker ends: closing a connection with part of a long body unread can
  // take the system a while.
  HANDLE finished() const { return finished_.get(); }

  // Runs on the worker thread.
  void Run() {
    try {
      ok_ = Fetch();
    } catch (const std::exception&) {
      // Out of memory, mostly: a failed download like any other.
      ok_ = false;
      body_.clear();
    }
    SetEvent(finished_.get());
    request_.reset();
    session_.reset();
  }

  TransferProgress Progress() {
    MutexLock guard(lock_);
    return progress_;
  }
  void Abandon() {
    MutexLock guard(lock_);
    abandoned_ = true;
  }
  // Only once finished() is signalled.
  bool ok() const { return ok_; }
  const std::string& body() const { return body_; }

 private:
  bool Abandoned() {
    MutexLock guard(lock_);
    return abandoned_;
  }
  void Report(bool newRequest, bool answered, uint64_t bytes) {
    MutexLock guard(lock_);
    if (newRequest) ++progress_.request;
    progress_.answered = answered;
    progress_.bytes = bytes;
  }

  bool Fetch() {
    session_.reset(InternetOpenW(L"Tallowick Parawarden", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    HINTERNET session = session_.get();
    if (session == nullptr) return false;
    // The system's own timeouts end a silent connection in the worker too,
    // not only in the waiter's eyes.
    SetTimeout(session, INTERNET_OPTION_CONNECT_TIMEOUT, limits_.watch.connectTimeoutMs);
    SetTimeout(session, INTERNET_OPTION_SEND_TIMEOUT, limits_.watch.stallTimeoutMs);
    SetTimeout(session, INTERNET_OPTION_RECEIVE_TIMEOUT, limits_.watch.stallTimeoutMs);
    DWORD retries = 1;
    InternetSetOptionW(session, INTERNET_OPTION_CONNECT_RETRIES, &retries, sizeof retries);

    std::wstring url = url_;
    for (unsigned redirects = 0;; ++redirects) {
      if (!IsWebAddress(url) || Abandoned()) return false;
      Report(redirects > 0, false, 0);
      // Redirects are followed here rather than by the system, which would
      // follow a loop without end and to any kind of address.
      request_.reset(InternetOpenUrlW(session, url.c_str(), nullptr, 0,
                                      INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                          INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_UI |
                                          INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_AUTO_REDIRECT,
                                      0));
      HINTERNET request = request_.get();
      if (request == nullptr || Abandoned()) return false;
      const DWORD status = StatusCode(request);
      if (IsRedirect(status)) {
        if (redirects >= limits_.maxRedirects || !RedirectTarget(request, url)) return false;
        continue;
      }
      if (status < 200 || status > 299) return false;
      Report(false, true, 0);
      return ReceiveBody(request);
    }
  }

  bool ReceiveBody(HINTERNET request) {
    uint64_t announced = 0;
    bool hasLength = false;
    if (!ContentLength(request, announced, hasLength)) return false;
    if (limits_.needsMarkedEnd && !hasLength && !SentInChunks(request)) return false;
    if (hasLength && announced > limits_.maxBytes && !limits_.keepStartOfLongerBody) return false;
    if (hasLength) body_.reserve(static_cast<size_t>(announced < limits_.maxBytes ? announced : limits_.maxBytes));
    char buffer[16 * 1024];
    for (;;) {
      DWORD got = 0;
      if (!InternetReadFile(request, buffer, sizeof buffer, &got) || Abandoned()) return false;
      if (got == 0) break;
      const uint64_t room = limits_.maxBytes - body_.size();
      if (got > room) {
        if (!limits_.keepStartOfLongerBody) return false;
        body_.append(buffer, static_cast<size_t>(room));
        return true;
      }
      body_.append(buffer, got);
      Report(false, true, body_.size());
    }
    // A connection that ends early is a cut-off transfer, not a short file.
    return !hasLength || body_.size() == announced;
  }

  static void SetTimeout(HINTERNET session, DWORD option, uint32_t ms) {
    DWORD value = ms;
    InternetSetOptionW(session, option, &value, sizeof value);
  }

  static bool IsRedirect(DWORD status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
  }

  static DWORD StatusCode(HINTERNET request) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &value, &size, nullptr)) return 0;
    return value;
  }

  // The announced length read whole: it may exceed 32 bits. False for a
  // header that is not a number.
  static bool ContentLength(HINTERNET request, uint64_t& length, bool& present) {
    wchar_t text[32] = {};
    DWORD size = sizeof text - sizeof(wchar_t);
    present = false;
    if (!HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) {
      return GetLastError() == ERROR_HTTP_HEADER_NOT_FOUND;
    }
    uint64_t value = 0;
    int digits = 0;
    for (const wchar_t* c = text; *c != L'\0'; ++c) {
      if (*c == L' ' || *c == L'\t') continue;
      if (*c < L'0' || *c > L'9' || ++digits > 19) return false;
      value = value * 10 + static_cast<uint64_t>(*c - L'0');
    }
    if (digits == 0) return false;
    length = value;
    present = true;
    return true;
  }

  // Chunks mark the body's end with a last, empty one.
  static bool SentInChunks(HINTERNET request) {
    wchar_t text[128] = {};
    DWORD size = sizeof text - sizeof(wchar_t);
    if (!HttpQueryInfoW(request, HTTP_QUERY_TRANSFER_ENCODING, text, &size, nullptr)) return false;
    CharLowerW(text);
    return std::wstring_view(text).find(L"chunked") != std::wstring_view::npos;
  }

  static bool IsWebAddress(const std::wstring& url) {
    URL_COMPONENTSW parts = {};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = 1;
    if (!InternetCrackUrlW(url.c_str(), 0, 0, &parts)) return false;
    return (parts.nScheme == INTERNET_SCHEME_HTTP || parts.nScheme == INTERNET_SCHEME_HTTPS) &&
           parts.dwHostNameLength > 0;
  }

  // The address a redirect points to, relative ones resolved against `url`,
  // which it replaces.
  static bool RedirectTarget(HINTERNET request, std::wstring& url) {
    std::wstring location(512, L'\0');
    DWORD size = static_cast<DWORD>(location.size() * sizeof(wchar_t));
    if (!HttpQueryInfoW(request, HTTP_QUERY_LOCATION, &location[0], &size, nullptr)) {
      if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size > kMaxLocationBytes) return false;
      location.assign(size / sizeof(wchar_t) + 1, L'\0');
      if (!HttpQueryInfoW(request, HTTP_QUERY_LOCATION, &location[0], &size, nullptr)) return false;
    }
    location.resize(size / sizeof(wchar_t));
    if (location.empty()) return false;
    std::wstring combined(url.size() + location.size() + 64, L'\0');
    DWORD length = static_cast<DWORD>(combined.size());
    if (!InternetCombineUrlW(url.c_str(), location.c_str(), &combined[0], &length, ICU_NO_ENCODE)) {
      if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || length > kMaxLocationBytes) return false;
      combined.assign(length + 1, L'\0');
      if (!InternetCombineUrlW(url.c_str(), location.c_str(), &combined[0], &length, ICU_NO_ENCODE)) return false;
    }
    combined.resize(length);
    url = combined;
    return true;
  }

  const std::wstring url_;
  const TransferLimits limits_;
  UniqueHandle finished_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  UniqueInternet session_;
  UniqueInternet request_;
  Mutex lock_;
  TransferProgress progress_;
  bool abandoned_ = false;
  bool ok_ = false;
  std::string body_;
};

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  UniqueHandle file(
      CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return false;
  constexpr size_t kChunk = 1024 * 1024;
  for (size_t at = 0; at < bytes.size(); at += kChunk) {
    const DWORD part = static_cast<DWORD>(bytes.size() - at < kChunk ? bytes.size() - at : kChunk);
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data() + at, part, &written, nullptr) || written != part) return false;
  }
  return true;
}

// The finished transfer, or nothing when it failed or was given up.
std::shared_ptr<Transfer> Download(const std::string& url, const TransferLimits& limits) {
  const auto transfer = std::make_shared<Transfer>(Widen(url), limits);
  if (!transfer->Started()) return nullptr;
  WorkerThread worker([transfer] { transfer->Run(); });
  if (!worker.Started()) return nullptr;
  TransferWatch watch(limits.watch, GetTickCount());
  const bool ended = WaitKeepingWindowsPainted(
      transfer->finished(), [&] { return watch.StillAlive(GetTickCount(), transfer->Progress()); }, kPollMs);
  if (!ended) {
    // The worker may sit in a call that only the system's own timeout ends;
    // it stops at its next step and frees the transfer itself.
    transfer->Abandon();
    return nullptr;
  }
  return transfer->ok() ? transfer : nullptr;
}

}  // namespace

bool DownloadUrlToFile(const std::string& url, const std::string& path, const TransferLimits& limits) {
  try {
    const std::shared_ptr<Transfer> transfer = Download(url, limits);
    return transfer && WriteWholeFile(path, transfer->body());
  } catch (const std::exception&) {
    // Out of memory before the transfer could start.
    return false;
  }
}

bool DownloadUrl(const std::string& url, const TransferLimits& limits, std::string& body) {
  try {
    const std::shared_ptr<Transfer> transfer = Download(url, limits);
    if (!transfer) return false;
    body = transfer->body();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace platform
