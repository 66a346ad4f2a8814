// A copy of this program started to take on part of a job, and its side of
// the talk: requests go down its standard input, answers come up its
// standard output.
#pragma once

#include <string>
#include <string_view>

#include "platform/handles.h"

namespace platform {

class HelperProcess {
 public:
  HelperProcess() = default;
  // Ends the helper, without waiting for it: it only ever works for this
  // process.
  ~HelperProcess();
  HelperProcess(const HelperProcess&) = delete;
  HelperProcess& operator=(const HelperProcess&) = delete;

  // Starts the program's own executable with `argument` and the number of
  // the event by which it tells of new answers; false when it could not be
  // started.
  bool Start(const std::wstring& argument);
  // Waits until the pipe has taken all of `bytes`; false when the helper is
  // gone.
  bool Send(std::string_view bytes);
  // Appends what the helper has written so far, at most `most` bytes,
  // without waiting; false once the helper is gone and nothing is left.
  bool ReceiveWaiting(std::string& into, size_t most);
  // Returns when the helper has written more, when input or a sent message
  // arrives for the calling thread, or after `milliseconds`.
  void WaitForAnswers(unsigned milliseconds) const;
  // Ends the helper now; it counts as gone from then on.
  void End();

 private:
  UniqueHandle process_;
  UniqueHandle answered_;
  UniqueHandle requests_;  // our end of its standard input
  UniqueHandle answers_;   // our end of its standard output
};

// The helper's own side, with the event number it was started with.
class HelperSide {
 public:
  explicit HelperSide(const std::string& answeredEvent);
  // Appends what has come down standard input, waiting for some; false at
  // its end.
  bool ReceiveRequests(std::string& into);
  // False when the program that started this one no longer listens.
  bool SendAnswers(std::string_view bytes);

 private:
  HANDLE answered_ = nullptr;  // the starter's, inherited; left open for the life of the process
};

}  // namespace platform
