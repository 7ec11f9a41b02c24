// The README's promises, each written once as a function of the world before
// and after a press. A promise broken gives a line saying which and why; the
// suite checks every one after every press.
#pragma once

#include <string>
#include <vector>

#include "tests/admin/world.h"

namespace admin {

// The promises of a /run of `answers` (UTF-8) that ended with `status`,
// taking the world from `before`: exit 2 changed nothing; exit 0 left the
// items of every step ready as the check says.
std::vector<std::string> RunBroken(World& world, const std::string& answers, int status, const Tree& before);

// Runs the presses on a world of the shape with every promise checked after
// each: "" when all were kept, else what broke at which press, followed by
// the sequence as a row. `ignore`: tags or words of breaks to look past
// (ADMIN_IGNORE). `presses_run` counts the presses made.
std::string Walk(const Shape& shape, const std::vector<Press>& presses, const std::string& ignore = "",
                 long* presses_run = nullptr);

}  // namespace admin
