#include "platform/sim/fault_host.h"

#include "platform/command_line.h"

namespace platform {

void FaultHost::Plant(Fault fault, long call_limit) {
  fault_ = fault;
  changes_ = programs_ = 0;
  calls_ = 0;
  call_limit_ = call_limit;
  struck_ = false;
  struck_at_.clear();
}

void FaultHost::Count() {
  if (++calls_ > call_limit_)
    throw RunawayPress("the press made more than " + std::to_string(call_limit_) + " calls of the host");
}

bool FaultHost::Strikes(const char* what, const std::string& path) {
  Count();
  ++touched_;
  if (fault_.kind != Fault::kChange || changes_++ != fault_.at) return false;
  struck_ = true;
  struck_at_ = std::string(what) + " " + path;
  return true;
}

Fault::Kind FaultHost::ProgramFault(const std::string& command_line) {
  Count();
  if ((fault_.kind != Fault::kProgramFails && fault_.kind != Fault::kProgramHangs) || programs_++ != fault_.at)
    return Fault::kNone;
  struck_ = true;
  struck_at_ = std::string(fault_.kind == Fault::kProgramFails ? "fails " : "hangs ") + command_line;
  return fault_.kind;
}

void FaultHost::RunCommand(const std::string& command_line, ShowMode show) {
  ++touched_;
  // A program not waited for: a failure is not seen, so it did nothing.
  if (ProgramFault(command_line) != Fault::kNone) {
    sim_.Record({"run", command_line, "", static_cast<unsigned>(show)});
    return;
  }
  sim_.RunCommand(command_line, show);
}

int FaultHost::StartWatched(const std::string& command_line, ShowMode show, const std::string& held_file) {
  ++touched_;
  switch (ProgramFault(command_line)) {
    case Fault::kProgramFails:
      sim_.Record({"run", command_line, "", static_cast<unsigned>(show)});
      return 0;
    case Fault::kProgramHangs: {
      // It runs, and goes on running until the test lets it end.
      const std::vector<std::string> words = SplitCommandLine(command_line);
      const std::string program = words.empty() ? "" : words[0];
      sim_.HoldRunning(program);
      const int number = sim_.StartWatched(command_line, show, held_file);
      sim_.StopHolding(program);
      return number;
    }
    default:
      return sim_.StartWatched(command_line, show, held_file);
  }
}

Host::Wait FaultHost::RunToEnd(const std::string& command_line, ShowMode show, unsigned limit, int* exit_code) {
  ++touched_;
  switch (ProgramFault(command_line)) {
    case Fault::kProgramFails:
      sim_.Record({"wait", command_line, "", static_cast<unsigned>(show)});
      *exit_code = 1;
      return Wait::kFinished;
    case Fault::kProgramHangs:
      sim_.Record({"wait", command_line, "", static_cast<unsigned>(show)});
      sim_.Record({"end", command_line, "", 0});
      return Wait::kTimedOut;
    default:
      return sim_.RunToEnd(command_line, show, limit, exit_code);
  }
}

Host::Wait FaultHost::RunToEndWithFiles(const std::string& command_line, const std::string& input,
                                        const std::string& output, unsigned limit, int* exit_code) {
  ++touched_;
  const Fault::Kind fault = ProgramFault(command_line);
  if (fault == Fault::kNone) return sim_.RunToEndWithFiles(command_line, input, output, limit, exit_code);
  // The output is made before the program starts, as the host makes it.
  sim_.Record({"wait", command_line, "<" + input + " >" + output, kHide});
  if (!sim_.WriteFile(output, "")) return Wait::kNotStarted;
  if (fault == Fault::kProgramHangs) return Wait::kTimedOut;
  *exit_code = 1;
  return Wait::kFinished;
}

Host::Wait FaultHost::RunToEndCapturing(const std::string& command_line, const std::string& input,
                                        std::string* printed, unsigned limit, int* exit_code) {
  const Fault::Kind fault = ProgramFault(command_line);
  if (fault == Fault::kNone) return sim_.RunToEndCapturing(command_line, input, printed, limit, exit_code);
  // It fails with nothing printed, or prints nothing before its time is up.
  sim_.Record({"ask", command_line, input, kHide});
  printed->clear();
  if (fault == Fault::kProgramHangs) {
    sim_.Record({"end", command_line, "", 0});
    return Wait::kTimedOut;
  }
  *exit_code = 1;
  return Wait::kFinished;
}

bool FaultHost::MakeDirectory(const std::string& path) {
  return !Strikes("MakeDirectory", path) && sim_.MakeDirectory(path);
}

bool FaultHost::RemoveDirectory(const std::string& path) {
  return !Strikes("RemoveDirectory", path) && sim_.RemoveDirectory(path);
}

bool FaultHost::DeleteFile(const std::string& path) { return !Strikes("DeleteFile", path) && sim_.DeleteFile(path); }

bool FaultHost::CopyFile(const std::string& from, const std::string& to, bool fail_if_exists) {
  if (!Strikes("CopyFile", to)) return sim_.CopyFile(from, to, fail_if_exists);
  // The disk fills halfway through the copy.
  std::string bytes;
  if (sim_.ReadFile(from, &bytes, SIZE_MAX) && !(fail_if_exists && sim_.FileExists(to)))
    sim_.WriteFile(to, bytes.substr(0, bytes.size() / 2));
  return false;
}

bool FaultHost::SetFileAttributes(const std::string& path, unsigned attributes) {
  return !Strikes("SetFileAttributes", path) && sim_.SetFileAttributes(path, attributes);
}

bool FaultHost::ReplaceFile(const std::string& from, const std::string& to) {
  return !Strikes("ReplaceFile", to) && sim_.ReplaceFile(from, to);
}

bool FaultHost::WriteFile(const std::string& path, const std::string& bytes) {
  if (!Strikes("WriteFile", path)) return sim_.WriteFile(path, bytes);
  // The disk fills halfway through the write.
  sim_.WriteFile(path, bytes.substr(0, bytes.size() / 2));
  return false;
}

}  // namespace platform
