#include "standins/sim_standins.h"

#include "standins/command/command.h"
#include "standins/net/net.h"

namespace standins {
namespace {

class SimContext : public Context {
 public:
  explicit SimContext(platform::SimHost& host) : Context(host), sim_(host) {}

  int RunAndWait(const std::string& command_line, const std::string& input) override {
    std::string printed;
    int code = sim_.RunAndWait(command_line, input, &printed);
    output += printed;
    return code;
  }

 private:
  platform::SimHost& sim_;
};

}  // namespace

platform::Standin OnSimHost(Main main) {
  return [main](platform::SimHost& host, const std::vector<std::string>& args,
                const std::string& input, std::string* output) {
    SimContext context(host);
    context.input = input;
    int code = main(context, args);
    if (output) *output = context.output + context.error;
    return code;
  };
}

void RegisterSimStandins(platform::SimHost& host) {
  host.RegisterStandin("command.com", OnSimHost(&CommandMain));
  host.RegisterStandin("net", OnSimHost(&NetMain));
}

}  // namespace standins
