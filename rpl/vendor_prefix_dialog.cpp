// The vendor-prefix dialog (Form3): its list of known prefixes and its field.
#include "rpl/vendor_prefix_dialog.h"

namespace rpl {
namespace {

const std::vector<look::ControlLayout> kControls = {
    // name, id, kind, parent, left, top, width, height, text, hint, tab, enabled, visible, font, picture
    {"GroupBox1", 401, look::Kind::kGroupBox, "", 8, 8, 161, 57, "验正网卡的前六位地址:", "", -1, true, true, nullptr, ""},
    {"MAC", 402, look::Kind::kEditCombo, "GroupBox1", 8, 24, 145, 21, "00E04C\n5254AB\n0000B4\n52544C", "", 0, true, true, nullptr, ""},
    // The OK button: closes the dialog with the OK result; the default button.
    {"Button1", 1, look::Kind::kButton, "", 88, 72, 81, 25, "确定", "", 1, true, true, nullptr, ""},
};

const look::WindowLayout kForm3 = {"Form3", "输入提示", 309, 208, 178, 104, &look::kSansSerif11, &kControls, nullptr};

}  // namespace

TForm3::TForm3() { look::SetFirstStates(kForm3, Controls()); }

const look::WindowLayout& TForm3::Layout() { return kForm3; }

}  // namespace rpl
