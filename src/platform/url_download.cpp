#include "platform/url_download.h"

#include <windows.h>
#include <wininet.h>

#include <memory>
#include <type_traits>

#include "platform/handles.h"
#include "platform/text.h"

namespace platform {
namespace {

struct InternetCloser {
  void operator()(HINTERNET handle) const { InternetCloseHandle(handle); }
};
using UniqueInternet = std::unique_ptr<std::remove_pointer_t<HINTERNET>, InternetCloser>;

DWORD QueryNumber(HINTERNET request, DWORD query, bool& present) {
  DWORD value = 0;
  DWORD size = sizeof value;
  present = HttpQueryInfoW(request, query | HTTP_QUERY_FLAG_NUMBER, &value, &size, nullptr) != FALSE;
  return value;
}

}  // namespace

// The system's internet service fetches the file; unlike the plain URL
// download call it tells the server's answer, so an error page (404, 500)
// or a transfer that ends before the announced length counts as the
// failure it is instead of landing in the file as if it were the content.
bool DownloadUrlToFile(const std::string& url, const std::string& path) {
  UniqueInternet session(InternetOpenW(L"Tallowick Parawarden", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) return false;
  UniqueInternet request(InternetOpenUrlW(session.get(), Widen(url).c_str(), nullptr, 0,
                                          INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                              INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_UI,
                                          0));
  if (!request) return false;
  bool hasStatus = false;
  const DWORD status = QueryNumber(request.get(), HTTP_QUERY_STATUS_CODE, hasStatus);
  if (hasStatus && (status < 200 || status > 299)) return false;
  bool hasLength = false;
  const DWORD announced = QueryNumber(request.get(), HTTP_QUERY_CONTENT_LENGTH, hasLength);

  UniqueHandle file(
      CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return false;
  unsigned long long received = 0;
  char buffer[16 * 1024];
  for (;;) {
    DWORD got = 0;
    if (!InternetReadFile(request.get(), buffer, sizeof buffer, &got)) return false;
    if (got == 0) break;
    DWORD written = 0;
    if (!WriteFile(file.get(), buffer, got, &written, nullptr) || written != got) return false;
    received += got;
  }
  return !hasLength || received == announced;
}

}  // namespace platform
