// The server check's PXE road: the items of the plans of "安装 PXE" and
// "生成镜像文件", made with the check's fields, in the report's order.
#include "app/server_check_parts.h"
#include "pxe/bootimage.h"

namespace app {

void CheckPxe(platform::Host& host, const CheckInput& in, ServerCheck* check) {
  AddPlan(check, Road::kPxe, pxe::PlanPdk(host, in.start_dir));
  // As the advice presses the image button: with the check box as it is,
  // so that either start script of this program is today's.
  AddPlan(check, Road::kPxe, pxe::PlanBootImage(host, {in.start_dir, in.shared_directory, std::nullopt}));
}

}  // namespace app
