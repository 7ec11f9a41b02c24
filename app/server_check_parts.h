// Inside the server check: each road's part, and what they share.
#pragma once

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/server_check.h"
#include "base/names.h"
#include "base/plan.h"

namespace app {

// Each adds its road's items (server_check_accounts.cpp, server_check_pxe.cpp,
// server_check_rpl.cpp).
void CheckAccounts(platform::Host& host, const CheckInput& in, ServerCheck* check);
void CheckPxe(platform::Host& host, const CheckInput& in, ServerCheck* check);
void CheckRpl(platform::Host& host, const CheckInput& in, ServerCheck* check);

// A piece of a report's text: a literal, a string or a number. The texts are
// put together from pieces in one step (Cat), which keeps the many messages
// of the check small in the program.
class Piece {
 public:
  Piece(const char* text) : data_(text), size_(std::strlen(text)) {}
  Piece(const std::string& text) : data_(text.data()), size_(text.size()) {}
  Piece(size_t number);  // in decimal
  const char* data() const { return data_ ? data_ : digits_; }
  size_t size() const { return size_; }

 private:
  const char* data_;
  size_t size_;
  char digits_[24];  // a number's digits; left alone for a text
};
std::string Cat(std::initializer_list<Piece> pieces);

// A mend is what the administrator does, in steps joined by "，", each one
// the program accepts in the state the check found:
//   在“LABEL”中选 ITEM      chooses ITEM in a list of the main window (网卡类型, RPL配置名)
//   在“LABEL”中填 TEXT      types TEXT into a field (共享目录, 用户前辍, 用户数目, 工作组名)
//   按“CAPTION”             presses a button of the main window ("再", "在 PXE 页上" may lead)
//   勾选“工作站自动注册”     sets the check box
//   填工作站网卡地址的前六位  answers the vendor-prefix dialog, or the chooser's field, with the
//                           workstations' prefix, and confirms it
//   选驱动程序 PATH          chooses the driver PATH in the driver chooser
//   关闭“客户机网卡信息”      closes the driver chooser without a choice
//   在提问中选“确定”         answers the question of the button pressed last with OK
//   按安装程序的提示装好 PXE-PDK   the PDK installer the button started, run to its end
// Words in "（）" only explain. A mend with any other step asks the
// administrator for work outside this program: its item is kAdmin.

// What a mend needs: when one of the items `needs` (by what they check) is
// not ready, the mend waits for it and is the administrator's, since every
// such item is mended by hand; `state` otherwise.
CheckState After(const ServerCheck& check, std::initializer_list<const char*> needs, CheckState state,
                 std::string* mend);

// Adds the items a button's plan looked at (base/plan.h), in its order, each
// once: an item already in the check is left as it is. An unreadable need is
// ？; an unmet one is the administrator's ！ or, when a step of this program
// mends it, ×, with the need's "what to do" as the mend. A met need is √ when
// the plan changes nothing of it (a refresh aside), △ when it only replaces
// or deletes files of it, × when it makes something; its mend is the plan's
// `how`, and the item lists those changes.
void AddPlan(ServerCheck* check, Road road, const plan::Plan& plan);

// Adds an item; a ready one has no mend.
void Add(ServerCheck* check, Road road, const Piece& what, CheckState state, std::initializer_list<Piece> found,
         std::initializer_list<Piece> mend = {});

// How bad a state is: ready, stale, missing, cannot be read, in that order.
int Severity(CheckState state);

using base::NameList;

// The paths of `paths` that are no file; their last parts when `short_names`.
std::vector<std::string> MissingFiles(platform::Host& host, const std::vector<std::string>& paths,
                                      bool short_names = true);


}  // namespace app
