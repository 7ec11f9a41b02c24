// Inside the server check: each road's part, and what they share.
#pragma once

#include <string>
#include <vector>

#include "app/server_check.h"

namespace app {

// Each adds its road's items (server_check.cpp, server_check_rpl.cpp).
void CheckAccounts(platform::Host& host, const CheckInput& in, ServerCheck* check);
void CheckPxe(platform::Host& host, const CheckInput& in, ServerCheck* check);
void CheckRpl(platform::Host& host, const CheckInput& in, ServerCheck* check);

// How bad a state is: ready, stale, missing, cannot be read, in that order.
int Severity(CheckState state);

// Names for a report line: the first `shown` joined by "、", then how many more.
std::string NameList(const std::vector<std::string>& names, size_t shown = 8);

// The paths of `paths` that are no file; their last parts when `short_names`.
std::vector<std::string> MissingFiles(platform::Host& host, const std::vector<std::string>& paths,
                                      bool short_names = true);

// The value of the first line "SET NAME=value" (the name in any case), or
// false when there is none.
bool SetValue(const std::vector<std::string>& lines, const std::string& name, std::string* value);

}  // namespace app
