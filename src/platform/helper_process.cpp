#include "platform/helper_process.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>

namespace platform {
namespace {

// Room for several folders' listings, so that a helper runs on ahead of
// the scan until the scan catches up.
constexpr DWORD kPipeBytes = 1024 * 1024;
// Room for every request a helper may have waiting, so that sending one
// never waits for the helper.
constexpr DWORD kRequestPipeBytes = 64 * 1024;

// Writes until all is taken: a pipe may take part of a write.
bool WriteAll(HANDLE handle, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1 << 20));
    if (!WriteFile(handle, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

HelperProcess::~HelperProcess() { End(); }

void HelperProcess::End() {
  // Not waited for: the window waits on this thread, and a helper has
  // nothing to finish.
  if (process_) TerminateProcess(process_.get(), 0);
}

bool HelperProcess::Start(const std::wstring& argument) {
  // Made private; only the helper's own ends and the event are inheritable,
  // and only while it starts.
  HANDLE requestsRead = nullptr, requestsWrite = nullptr, answersRead = nullptr, answersWrite = nullptr;
  if (!CreatePipe(&requestsRead, &requestsWrite, nullptr, kRequestPipeBytes)) return false;
  UniqueHandle theirRequests(requestsRead);
  requests_.reset(requestsWrite);
  if (!CreatePipe(&answersRead, &answersWrite, nullptr, kPipeBytes)) return false;
  UniqueHandle theirAnswers(answersWrite);
  answers_.reset(answersRead);
  answered_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  if (!answered_) return false;

  wchar_t self[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  const std::wstring eventNumber = std::to_wstring(reinterpret_cast<uintptr_t>(answered_.get()));
  std::wstring command = L"\"" + std::wstring(self) + L"\" " + argument + L" " + eventNumber;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  // No busy pointer for a process that never shows a window.
  startup.dwFlags = STARTF_USESTDHANDLES | STARTF_FORCEOFFFEEDBACK;
  startup.hStdInput = theirRequests.get();
  startup.hStdOutput = theirAnswers.get();
  startup.hStdError = INVALID_HANDLE_VALUE;
  for (HANDLE given : {theirRequests.get(), theirAnswers.get(), answered_.get()}) {
    if (!SetHandleInformation(given, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT)) return false;
  }
  PROCESS_INFORMATION started = {};
  const bool ok =
      CreateProcessW(self, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &started) != FALSE;
  // Helpers started later need not hold this one's event.
  SetHandleInformation(answered_.get(), HANDLE_FLAG_INHERIT, 0);
  if (!ok) return false;
  CloseHandle(started.hThread);
  process_.reset(started.hProcess);
  return true;
}

bool HelperProcess::Send(std::string_view bytes) { return requests_ && WriteAll(requests_.get(), bytes); }

bool HelperProcess::ReceiveWaiting(std::string& into, size_t most) {
  if (!answers_) return false;
  DWORD waiting = 0;
  if (!PeekNamedPipe(answers_.get(), nullptr, 0, nullptr, &waiting, nullptr)) return false;
  const DWORD wanted = static_cast<DWORD>(std::min<size_t>(waiting, most));
  if (wanted == 0) return true;
  const size_t start = into.size();
  into.resize(start + wanted);
  DWORD read = 0;
  const bool ok = ReadFile(answers_.get(), &into[start], wanted, &read, nullptr) != FALSE;
  into.resize(start + read);
  return ok;
}

void HelperProcess::WaitForAnswers(unsigned milliseconds) const {
  HANDLE event = answered_.get();
  MsgWaitForMultipleObjects(event != nullptr ? 1 : 0, &event, FALSE, milliseconds, QS_ALLINPUT);
}

HelperSide::HelperSide(const std::string& answeredEvent) {
  // Only a number the starter wrote: anything else leaves the event out.
  uintptr_t value = 0;
  for (char c : answeredEvent) {
    if (c < '0' || c > '9') return;
    value = value * 10 + static_cast<uintptr_t>(c - '0');
  }
  answered_ = reinterpret_cast<HANDLE>(value);
}

bool HelperSide::ReceiveRequests(std::string& into) {
  char buffer[4096];
  DWORD read = 0;
  if (!ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &read, nullptr) || read == 0) return false;
  into.append(buffer, read);
  return true;
}

bool HelperSide::SendAnswers(std::string_view bytes) {
  if (!WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), bytes)) return false;
  if (answered_ != nullptr) SetEvent(answered_);
  return true;
}

}  // namespace platform
