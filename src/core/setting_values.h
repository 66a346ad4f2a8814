// How stored setting texts are read and how the settings are addressed.
#pragma once

#include <string>
#include <string_view>

namespace core {

constexpr const char* kSection = "SETTINGS";

constexpr const char* kAutoRun = "AUTORUN";
constexpr const char* kAutoScan = "AUTOSCAN";
constexpr const char* kAutoUpdate = "AUTOUPDATE";
constexpr const char* kAutoLog = "AUTOLOG";
constexpr const char* kAutoShow = "AUTOSHOW";
constexpr const char* kScanCount = "SCANCOUNT";
constexpr const char* kLastRun = "LASTRUN";
constexpr const char* kTotalObjectsRemoved = "TOTALOBJECTSREMOVED";
// The scheduled scan: how often (0 never, 1 daily, 2 weekly), the weekday
// (0 Sunday), the minute of the day, full (1) or quick (0), and the local
// time of the last scheduled run ("YYYY-MM-DD HH:MM").
constexpr const char* kScheduleFrequency = "SCHEDULE";
constexpr const char* kScheduleWeekday = "SCHEDULEDAY";
constexpr const char* kScheduleMinute = "SCHEDULETIME";
constexpr const char* kScheduleFullScan = "SCHEDULEFULL";
constexpr const char* kLastScheduledScan = "LASTSCHEDULEDSCAN";
// The guard, on unless stored as off.
constexpr const char* kGuard = "GUARD";
// Section of the update server's address ("SERVER") and lowered limits.
constexpr const char* kUpdatesSection = "UPDATES";
constexpr const char* kUpdateServer = "SERVER";

// What an administrator may set for every user of the machine, in the
// sections and under the keys the user's own values have: whether the
// guard runs, the scheduled scan and the update server. The usage figures
// and the time of the last scheduled scan stay the user's.
bool PolicyMaySet(std::string_view section, std::string_view key);

// Reads a stored text as a number the way a person would: leading blanks, an
// optional sign, digits with an optional fraction and exponent; anything after
// the number is ignored. Text that does not start with a number reads as 0.
double ReadNumber(std::string_view text);

// An on/off value is on only when its text reads as the number 1: "1" and
// " 1" are on; "0", "2", "1.5", "yes" and the empty text are off.
bool ReadsAsOn(std::string_view text);

// A check box state stored as text: 1 when the text reads as on, else 0.
inline int CheckStateFromText(std::string_view text) { return ReadsAsOn(text) ? 1 : 0; }
inline std::string TextFromCheckState(int state) { return state == 1 ? "1" : "0"; }

// The Run value's data: the executable's folder, "\", its name without
// extension, ".exe", computed from the module's full path, in double quotes.
// An older release's unquoted value is simply written over at the next start.
std::string RunValueData(std::string_view modulePath);

}  // namespace core
