#include "windows/program_icon.h"

#include "toolkit/bitmaps.h"
#include "windows/resource_ids.h"

namespace windows {

HICON ProgramIcon(bool small) {
  return toolkit::LoadIconResource(IDI_PARAWARDEN, GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON), true);
}

}  // namespace windows
