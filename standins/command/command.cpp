#include "standins/command/command.h"

#include "platform/encoding.h"
#include "platform/text.h"
#include "platform/textfile.h"

namespace standins {
namespace {

const char kBadCommand[] = "Bad command or file name\n";
const char kFileNotFound[] = "File not found\n";
// A CALL chain this deep is a batch file calling itself without end; the
// interpreter stops it rather than running until memory runs out.
const int kMaxCallDepth = 32;
// No run of the interpreter starts more batch files than this, by CALL or by
// handing over: batch files that name one another without CALL (A.BAT naming
// B.BAT, which names A.BAT) would otherwise run for ever, and ones that call
// one another twice each would run for as good as ever within the CALL depth.
const int kMaxBatchFiles = 256;

using platform::Lower;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string TrimLeft(const std::string& s) {
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  return s.substr(i);
}

std::string TrimRight(std::string s) {
  while (!s.empty() && IsBlank(s.back())) s.pop_back();
  return s;
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && Lower(s.substr(s.size() - tail.size())) == tail;
}

// True when `line` begins with the internal command `name` followed by the
// end of the line or a character that ends a command word.
bool IsInternal(const std::string& line, const std::string& name, std::string* rest) {
  if (line.size() < name.size() || Lower(line.substr(0, name.size())) != name) return false;
  if (line.size() == name.size()) {
    rest->clear();
    return true;
  }
  char next = line[name.size()];
  if (IsBlank(next) || next == '.' || next == ',' || next == ';' || next == '=') {
    *rest = line.substr(name.size() + 1);
    if (next == '.') *rest = "." + *rest;  // ECHO. prints an empty line
    return true;
  }
  return false;
}

// A command line split into the command itself and the files named after
// "<" (its standard input) and ">" (its output, created or emptied).
struct Parsed {
  std::string command;
  std::string input_file;  // empty: no input redirection
  bool has_input = false;
  std::string output_file;
  bool has_output = false;
  bool unsupported = false;  // ">>" or "|" outside quotes
};

Parsed ParseRedirection(const std::string& line) {
  Parsed p;
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (c == '"') quoted = !quoted;
    if (!quoted && (c == '|' || (c == '>' && i + 1 < line.size() && line[i + 1] == '>')))
      p.unsupported = true;
    if (quoted || (c != '<' && c != '>')) {
      p.command += c;
      continue;
    }
    size_t j = i + 1;
    while (j < line.size() && IsBlank(line[j])) ++j;
    std::string file;
    bool file_quoted = false;
    for (; j < line.size(); ++j) {
      char f = line[j];
      if (f == '"') {
        file_quoted = !file_quoted;
        continue;
      }
      if (!file_quoted && (IsBlank(f) || f == '<' || f == '>' || f == '|')) break;
      file += f;
    }
    (c == '<' ? p.input_file : p.output_file) = file;
    (c == '<' ? p.has_input : p.has_output) = true;
    i = j - 1;
  }
  p.command = TrimRight(TrimLeft(p.command));
  return p;
}

// Printed text as a file holds it: code page 936, lines ending in CR LF.
std::string ForAFile(const std::string& utf8) {
  std::string crlf;
  for (size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '\n' && (i == 0 || utf8[i - 1] != '\r')) crlf += '\r';
    crlf += utf8[i];
  }
  return platform::ToCodePage(crlf);
}

// The first word of a command, its program.
std::string FirstWord(const std::string& command) {
  std::string word;
  bool quoted = false;
  for (char c : command) {
    if (c == '"') {
      quoted = !quoted;
      continue;
    }
    if (!quoted && IsBlank(c)) break;
    word += c;
  }
  return word;
}

class Interpreter {
 public:
  explicit Interpreter(Context& context) : c_(context) {}

  // Runs one command line outside a batch file.
  int RunLine(const std::string& line) {
    std::string chained;
    int code = Execute(line, 0, &chained);
    if (!chained.empty()) code = RunBatch(chained, 0);
    return code;
  }

  // Runs a batch file and every file it hands over to, to the end.
  int RunBatch(std::string path, int depth) {
    int code = 0;
    while (!path.empty()) {
      if (++batch_files_ > kMaxBatchFiles) {
        c_.error += "Batch files hand over to one another too often: " + path + "\n";
        exited_ = true;
        return 1;
      }
      std::vector<std::string> lines;
      if (!c_.host.FileExists(path) || !platform::ReadTextLines(c_.host, path, &lines)) {
        c_.error += kBadCommand;
        return 1;
      }
      std::string chained;
      for (const std::string& raw : lines) {
        std::string line = TrimLeft(raw);
        bool quiet = false;
        while (!line.empty() && line[0] == '@') {
          quiet = true;
          line = TrimLeft(line.substr(1));
        }
        if (TrimRight(line).empty() || line[0] == ':') continue;
        if (echo_ && !quiet) c_.output += "\n" + Prompt() + line + "\n";
        code = Execute(line, depth, &chained);
        if (!chained.empty() || exited_) break;
      }
      path = exited_ ? "" : chained;
    }
    return code;
  }

  bool exited() const { return exited_; }

 private:
  std::string Prompt() { return c_.host.CurrentDirectory() + ">"; }

  // Runs one line. A batch file named by the line (without CALL) is not run
  // here: its path is handed back in `chained`, as the current file ends.
  int Execute(const std::string& line, int depth, std::string* chained) {
    std::string rest;
    if (IsInternal(line, "rem", &rest)) return 0;
    if (IsInternal(line, "echo", &rest)) return Echo(rest);
    if (IsInternal(line, "exit", &rest)) {
      exited_ = true;
      return 0;
    }
    bool call = IsInternal(line, "call", &rest);
    Parsed p = ParseRedirection(call ? TrimLeft(rest) : line);
    if (p.unsupported) {
      c_.error += "Appending redirection and pipes are not available here: " + line + "\n";
      return 1;
    }
    if (p.command.empty()) return 0;
    std::string program = FirstWord(p.command);
    std::string batch = BatchFile(program);
    if (!batch.empty()) {
      if (!call) {
        *chained = batch;
        return 0;
      }
      if (depth + 1 >= kMaxCallDepth) {
        c_.error += "Batch files call one another too deep: " + batch + "\n";
        return 1;
      }
      return RunBatch(batch, depth + 1);
    }
    std::string input;
    if (p.has_input) {
      if (p.input_file.empty() || !c_.host.FileExists(p.input_file) ||
          !c_.host.ReadFile(p.input_file, &input)) {
        c_.error += kFileNotFound;
        return 1;
      }
      input = platform::FromCodePage(input);  // the file is code page 936
    }
    if (p.has_output && p.output_file.empty()) {
      c_.error += kFileNotFound;
      return 1;
    }
    std::string printed;
    int code = c_.RunAndWait(p.command, input, p.has_output ? &printed : nullptr);
    if (code == -1) {
      c_.error += kBadCommand;
      return 1;
    }
    // What the program printed goes into the file, in the machine's text.
    if (p.has_output && !c_.host.WriteFile(p.output_file, ForAFile(printed))) {
      c_.error += "Cannot write the file " + p.output_file + "\n";
      return 1;
    }
    return code;
  }

  int Echo(const std::string& rest) {
    std::string text = TrimRight(rest);
    std::string word = Lower(TrimLeft(text));
    if (!text.empty() && text[0] == '.') {
      c_.output += text.substr(1) + "\n";
    } else if (word == "on" || word == "off") {
      echo_ = word == "on";
    } else if (word.empty()) {
      c_.output += echo_ ? "ECHO is on\n" : "ECHO is off\n";
    } else {
      c_.output += TrimLeft(text) + "\n";
    }
    return 0;
  }

  // The batch file a program word names, or "" when it names none: a word
  // ending in .BAT, or a word without extension beside a FILE.BAT.
  std::string BatchFile(const std::string& program) {
    if (EndsWith(program, ".bat") || EndsWith(program, ".cmd")) return program;
    std::string base = program.substr(program.find_last_of("\\:") == std::string::npos
                                          ? 0
                                          : program.find_last_of("\\:") + 1);
    if (base.find('.') == std::string::npos && !base.empty() &&
        c_.host.FileExists(program + ".bat"))
      return program + ".bat";
    return "";
  }

  Context& c_;
  bool echo_ = true;
  bool exited_ = false;
  int batch_files_ = 0;  // started in this run
};

// The words after /C joined back into one command line.
std::string JoinWords(const std::vector<std::string>& args, size_t from) {
  std::string line;
  for (size_t i = from; i < args.size(); ++i) {
    if (!line.empty()) line += ' ';
    const std::string& w = args[i];
    bool blank = w.empty() || w.find(' ') != std::string::npos || w.find('\t') != std::string::npos;
    line += blank ? "\"" + w + "\"" : w;
  }
  return line;
}

}  // namespace

// The command after "/C" in the command line as typed, quotes kept, so that a
// quoted "<" stays part of its word; false when there is no "/C".
bool CommandAfterSlashC(const std::string& text, std::string* command) {
  bool quoted = false;
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] == '"') quoted = !quoted;
    if (quoted || text[i] != '/' || (text[i + 1] != 'c' && text[i + 1] != 'C')) continue;
    if (i > 0 && !IsBlank(text[i - 1])) continue;
    *command = TrimRight(TrimLeft(text.substr(i + 2)));
    return true;
  }
  return false;
}

int CommandMain(Context& context, const std::vector<std::string>& args) {
  Interpreter interpreter(context);
  std::string command;
  if (!context.arguments.empty() && CommandAfterSlashC(context.arguments, &command))
    return interpreter.RunLine(command);
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.size() >= 2 && a[0] == '/' && (a[1] == 'c' || a[1] == 'C')) {
      // "/C" alone, or the command glued to it ("/Cdir").
      std::vector<std::string> words(args.begin() + static_cast<long>(i), args.end());
      words[0] = a.substr(2);
      if (words[0].empty()) words.erase(words.begin());
      return interpreter.RunLine(JoinWords(words, 0));
    }
  }
  // No /C: commands come from standard input, as from a redirected console.
  int code = 0;
  for (const std::string& line : InputLines(context.input)) {
    std::string trimmed = TrimRight(TrimLeft(line));
    if (trimmed.empty()) continue;
    code = interpreter.RunLine(trimmed);
    if (interpreter.exited()) break;
  }
  return code;
}

}  // namespace standins
