// The server check: the accounts road, made of the account buttons' plans
// with the check's fields.
#include "accounts/users.h"
#include "app/server_check_parts.h"

namespace app {

void CheckAccounts(platform::Host& host, const CheckInput& in, ServerCheck* check) {
  AddPlan(check, Road::kAccounts, accounts::PlanUsers(host, {in.shared_directory, in.prefix, in.count, in.group}));
  AddPlan(check, Road::kAccounts, accounts::PlanNamesFile(host, in.shared_directory));
}

}  // namespace app
