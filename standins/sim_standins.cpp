#include "standins/sim_standins.h"

#include "standins/command/command.h"
#include "imagetools/tools.h"
#include "standins/net/net.h"
#include "standins/rpl/rplcmd.h"

namespace standins {
namespace {

class SimContext : public Context {
 public:
  explicit SimContext(platform::SimHost& host) : Context(host), sim_(host) {}

  int RunAndWait(const std::string& command_line, const std::string& input,
                 std::string* printed) override {
    std::string text;
    int code = sim_.RunAndWait(command_line, input, &text);
    (printed ? *printed : output) += text;
    return code;
  }

 private:
  platform::SimHost& sim_;
};

// The image tools work on the machine's own files: their path arguments are
// taken to the places where the simulated machine keeps those files.
platform::Standin ImageTool(int (*tool)(const std::vector<std::string>&, std::string&)) {
  return [tool](platform::SimHost& host, const std::vector<std::string>& args, const std::string&,
                std::string* output) {
    std::vector<std::string> native;
    for (const std::string& arg : args)
      native.push_back(!arg.empty() && arg[0] == '/' ? arg : host.NativePath(arg));
    std::string err;
    int code = tool(native, err);
    if (output) *output = err;
    return code;
  };
}

}  // namespace

platform::Standin OnSimHost(Main main) {
  return [main](platform::SimHost& host, const std::vector<std::string>& args,
                const std::string& input, std::string* output) {
    SimContext context(host);
    context.arguments = host.RunningArguments();
    context.input = input;
    int code = main(context, args);
    if (output) *output = context.output + context.error;
    return code;
  };
}

void RegisterSimStandins(platform::SimHost& host) {
  host.RegisterStandin("command.com", OnSimHost(&CommandMain));
  host.RegisterStandin("net", OnSimHost(&NetMain));
  host.RegisterStandin("rplcmd", OnSimHost(&RplcmdMain));
  host.RegisterStandin("undisk.exe", ImageTool(&imagetools::Undisk));
  host.RegisterStandin("rplimage", ImageTool(&imagetools::Rplimage));
}

}  // namespace standins
