#include "fwcall/fwcall_runner.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "fwcall/argument_text.h"
#include "fwcall/method_table.h"
#include "fwcall/native_invoker.h"
#include "fwcall/native_library.h"
#include "json.h"
#include "test_vm.h"
#include "vm_json.h"

namespace fwcall {
namespace {

using fwtest::Json;

constexpr char kUsage[] =
    "usage: fwcall [--dll PATH] [--log FILE] [--json FILE] Class.method arg...\n"
    "       fwcall [--dll PATH] [--log FILE] [--json FILE] --script FILE\n"
    "       fwcall [--dll PATH] --help\n"
    "\n"
    "Calls native methods of the fwnative DLL (default: fwnative.dll beside fwcall.exe) as the Java\n"
    "wizard would, and prints what Java sees, one JSON line per call: the result, or\n"
    "{\"exception\": {\"code\": ..., \"message\": \"...\"}} when the method throws (to FILE with --json).\n"
    "--log FILE writes a readable account: each call as written and its answer.\n"
    "\n"
    "Arguments, by the Java type of the parameter:\n"
    "  String                 the text (\"\" is the empty string); the bare word null is a null\n"
    "                         reference, and \\\"null\\\" on the command line is the text null\n"
    "  int long short byte    decimal, or hexadecimal after 0x\n"
    "  boolean                true or false\n"
    "  byte[]                 hex digits, two per byte (\"\" is an empty array)\n"
    "  String[] Enumeration   a JSON array: [\"a\", null, \"\"]\n"
    "  peers                  a JSON object of their properties, for example\n"
    "                         {\"attributeState\": {\"HIDDEN\": true, \"OWNER_WRITEABLE\": false}}\n"
    "                         {\"resetPeriod\": 60, \"actions\": [{\"actionType\": 1, \"delay\": 1000}]}\n"
    "Arguments are split as every Windows program splits them: \"C:\\Program Files\\x\" is one, and JSON is\n"
    "written \"{\\\"a\\\": 1}\" in cmd.exe. A script holds one call per line, with words split at blanks,\n"
    "\"...\" for a word with blanks (a quote inside written twice) and JSON as it is; backslashes are\n"
    "plain characters there. # starts a comment,\n"
    "\"## text\" goes to the --log account; !hold PATH and !release PATH hold a file open as a running\n"
    "program would, !mkdir PATH and !write PATH TEXT make folders and files as the Java side would.\n"
    "Exit: 0 calls ran, 2 bad input (nothing ran), 3 JNI misuse seen, 4 script stopped, 5 crash.\n";

std::string Narrow(const std::u16string& text) { return fwtest::Utf16ToUtf8(text); }
std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

struct Options {
  bool help = false;
  std::optional<std::u16string> dll;
  std::optional<std::u16string> script;
  std::optional<std::u16string> log;
  std::optional<std::u16string> json;
  std::vector<Word> call;  // Class.method and its arguments
};

bool ParseOptions(const std::vector<Word>& args, Options* options, std::string* error) {
  std::size_t i = 0;
  for (; i < args.size() && args[i].kind == Word::Kind::kBare; ++i) {
    const std::u16string& a = args[i].text;
    if (a == u"--help" || a == u"-h" || a == u"/?") {
      options->help = true;
      continue;
    }
    std::optional<std::u16string>* target = a == u"--dll"      ? &options->dll
                                            : a == u"--script" ? &options->script
                                            : a == u"--log"    ? &options->log
                                            : a == u"--json"   ? &options->json
                                                               : nullptr;
    if (target == nullptr) {
      if (!a.empty() && a[0] == u'-') {
        *error = "unknown option " + Narrow(a);
        return false;
      }
      break;
    }
    if (i + 1 >= args.size()) {
      *error = Narrow(a) + " needs a value";
      return false;
    }
    *target = args[++i].text;
  }
  options->call.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
  if (options->help) return true;
  if (options->script && !options->call.empty()) {
    *error = "give either --script FILE or one call, not both";
    return false;
  }
  if (!options->script && options->call.empty()) {
    *error = "nothing to call";
    return false;
  }
  return true;
}

// The readable account of a run (--log), UTF-8.
class Log {
 public:
  bool Open(const std::u16string& path, std::string* error) {
    file_ = _wfopen(Wide(path).c_str(), L"wb");
    if (file_ == nullptr) *error = "cannot write the log " + Narrow(path);
    return file_ != nullptr;
  }
  ~Log() {
    if (file_ != nullptr) std::fclose(file_);
  }
  void Line(const std::string& text) {
    if (file_ == nullptr) return;
    std::fputs(text.c_str(), file_);
    std::fputc('\n', file_);
    std::fflush(file_);
  }

 private:
  FILE* file_ = nullptr;
};

std::string Answer(const Json& outcome, char kind) {
  if (const Json* e = outcome.Find("exception")) {
    const Json* cls = e->Find("class");
    const Json* code = e->Find("code");
    const Json* message = e->Find("message");
    std::string text = cls != nullptr ? Narrow(cls->AsString()) : "ServiceException";
    if (code != nullptr && !code->IsNull()) text += " " + std::to_string(code->AsInteger());
    if (message != nullptr && !message->IsNull()) text += " " + message->Write();
    return "throws " + text;
  }
  if (kind == 'V') return "done";
  return outcome.Write();
}

struct Step {
  enum class Kind { kCall, kNote, kHold, kRelease, kMakeFolder, kWrite };
  Kind kind = Kind::kCall;
  std::string where;  // "script.fwcall:12: " for script lines
  std::string text;   // the line as written (a note: its text)
  const NativeMethod* method = nullptr;
  FARPROC address = nullptr;
  std::vector<jvalue> args;
  std::u16string path;
  std::u16string content;  // !write
};

// Directives: what the Java side or another program does outside the library.
struct Directive {
  const char16_t* name;
  Step::Kind kind;
  std::size_t words;  // with the name
};
constexpr Directive kDirectives[] = {
    {u"!hold", Step::Kind::kHold, 2},
    {u"!release", Step::Kind::kRelease, 2},
    {u"!mkdir", Step::Kind::kMakeFolder, 2},
    {u"!write", Step::Kind::kWrite, 3},
};

class Session {
 public:
  Session(std::ostream& out, std::ostream& err) : out_(out), err_(err), table_(vm_) {}

  int Run(const Options& options) {
    std::string error;
    const std::wstring dllPath = options.dll ? Wide(*options.dll) : DefaultLibraryPath();
    if (options.help) return Help(dllPath);
    if (!library_.Load(dllPath, &error)) return BadInput(error);
    if (options.log && !log_.Open(*options.log, &error)) return BadInput(error);
    std::vector<Step> steps;
    bool good = true;
    if (options.script) {
      good = ReadScript(*options.script, &steps);
    } else {
      Step step;
      good = PrepareCall(options.call, "", &step);
      steps.push_back(std::move(step));
    }
    if (!good) return kExitBadInput;
    return Execute(steps);
  }

 private:
  int BadInput(const std::string& error) {
    err_ << "fwcall: " << error << "\n";
    return kExitBadInput;
  }

  int Help(const std::wstring& dllPath) {
    std::string ignored;
    const bool loaded = library_.Load(dllPath, &ignored);
    out_ << kUsage << "\nNative methods" << (loaded ? "" : " (the DLL did not load: exports not checked)") << ":\n";
    std::string lastClass;
    for (const NativeMethod& m : table_.Methods()) {
      if (m.declared.className != lastClass) {
        lastClass = m.declared.className;
        std::string dotted = lastClass;
        for (char& c : dotted) {
          if (c == '/') c = '.';
        }
        out_ << "\n" << dotted << "\n";
      }
      out_ << "  " << m.JavaSignature();
      if (loaded && library_.Find(m) == nullptr) out_ << "   [not exported by this DLL]";
      out_ << "\n";
    }
    return kExitDone;
  }

  bool PrepareCall(const std::vector<Word>& words, const std::string& where, Step* step) {
    std::string error;
    step->kind = Step::Kind::kCall;
    step->where = where;
    for (const Word& w : words) step->text += (step->text.empty() ? "" : " ") + Shown(w);
    if (words.front().kind != Word::Kind::kBare) return Refuse(where, Shown(words.front()) + " is not Class.method");
    const NativeMethod* m = table_.Find(Narrow(words.front().text), &error);
    if (m == nullptr) return Refuse(where, error);
    step->method = m;
    const std::size_t expected = m->signature.params.size();
    if (words.size() - 1 != expected) {
      return Refuse(where, m->QualifiedName() + " takes " + std::to_string(expected) + " argument" +
                               (expected == 1 ? "" : "s") + " " + m->ParameterList() + ", " +
                               std::to_string(words.size() - 1) + " given");
    }
    if (!CanInvoke(*m)) return Refuse(where, "fwcall cannot call " + m->JavaSignature());
    step->address = library_.Find(*m);
    if (step->address == nullptr) {
      return Refuse(where, "the DLL does not export " + m->QualifiedName() + " (" + m->ExportNames(false).front() + ")");
    }
    for (std::size_t i = 0; i < expected; ++i) {
      jvalue v{};
      if (!ArgumentFromWord(vm_, words[i + 1], m->signature.params[i], &v, &error)) {
        return Refuse(where, m->QualifiedName() + " argument " + std::to_string(i + 1) + " (" +
                                 JavaTypeName(m->signature.params[i]) + "): " + error);
      }
      step->args.push_back(v);
    }
    return true;
  }

  bool Refuse(const std::string& where, const std::string& error) {
    err_ << "fwcall: " << where << error << "\n";
    return false;
  }

  bool ReadScript(const std::u16string& path, std::vector<Step>* steps) {
    const std::string name = Narrow(path);
    FILE* file = _wfopen(Wide(path).c_str(), L"rb");
    if (file == nullptr) return Refuse("", "cannot read the script " + name);
    std::string bytes;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.append(buffer, n);
    std::fclose(file);
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
    bool good = true;
    std::size_t lineNumber = 0;
    for (std::size_t start = 0; start <= bytes.size();) {
      std::size_t end = bytes.find('\n', start);
      if (end == std::string::npos) end = bytes.size();
      std::string line = bytes.substr(start, end - start);
      start = end + 1;
      ++lineNumber;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const std::string where = name + ":" + std::to_string(lineNumber) + ": ";
      good = ReadLine(line, where, steps) && good;
      if (end == bytes.size()) break;
    }
    return good;
  }

  bool ReadLine(const std::string& line, const std::string& where, std::vector<Step>* steps) {
    std::u16string text;
    if (!fwtest::Utf8ToUtf16(line, &text)) return Refuse(where, "the line is not UTF-8 text");
    const std::size_t first = text.find_first_not_of(u" \t");
    if (first == std::u16string::npos) return true;
    text.erase(0, first);
    Step step;
    step.where = where;
    if (text.rfind(u"##", 0) == 0) {
      step.kind = Step::Kind::kNote;
      step.text = Narrow(text.substr(text.size() > 2 && text[2] == u' ' ? 3 : 2));
      steps->push_back(std::move(step));
      return true;
    }
    if (text[0] == u'#') return true;
    std::vector<Word> words;
    std::string error;
    if (!SplitWords(text, &words, &error)) return Refuse(where, error);
    if (text[0] == u'!') {
      for (const Directive& d : kDirectives) {
        if (words[0].text != d.name) continue;
        if (words.size() != d.words) break;
        step.kind = d.kind;
        step.path = words[1].text;
        if (words.size() > 2) step.content = words[2].text;
        steps->push_back(std::move(step));
        return true;
      }
      return Refuse(where, "unknown directive (!hold PATH, !release PATH, !mkdir PATH, !write PATH TEXT)");
    }
    const bool good = PrepareCall(words, where, &step);
    steps->push_back(std::move(step));
    return good;
  }

  int Execute(const std::vector<Step>& steps) {
    int code = kExitDone;
    for (const Step& step : steps) {
      switch (step.kind) {
        case Step::Kind::kNote: log_.Line(step.text); break;
        case Step::Kind::kHold:
          if (!Hold(step)) return kExitStopped;
          break;
        case Step::Kind::kRelease:
          if (!Release(step)) return kExitStopped;
          break;
        case Step::Kind::kMakeFolder:
          if (!MakeFolder(step)) return kExitStopped;
          break;
        case Step::Kind::kWrite:
          if (!Write(step)) return kExitStopped;
          break;
        case Step::Kind::kCall:
          if (!Call(step)) code = kExitViolation;
          break;
      }
    }
    return code;
  }

  bool Call(const Step& step) {
    const NativeMethod& m = *step.method;
    jobject self = m.declared.isStatic ? static_cast<jobject>(vm_.Class(m.declared.className))
                                       : vm_.NewPeer(m.declared.className);
    const jvalue result = InvokeNative(vm_, step.address, m, self, step.args);
    const Json outcome = fwtest::CallOutcome(vm_, m.signature.result.kind, result);
    out_ << outcome.Write() << "\n" << std::flush;
    log_.Line("  " + step.text);
    log_.Line("    -> " + Answer(outcome, m.signature.result.kind));
    const std::vector<std::string> violations = vm_.TakeViolations();
    for (const std::string& v : violations) {
      err_ << "fwcall: " << step.where << m.QualifiedName() << ": JNI misuse: " << v << "\n";
      log_.Line("    !! JNI misuse: " + v);
    }
    return violations.empty();
  }

  bool Hold(const Step& step) {
    const std::wstring path = Wide(step.path);
    if (held_.count(path) != 0) return Refuse(step.where, Narrow(step.path) + " is already held");
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Failed(step, "cannot hold " + Narrow(step.path) + " open");
    held_.emplace(path, std::unique_ptr<void, decltype(&CloseHandle)>(file, &CloseHandle));
    log_.Line("  [fwcall holds " + Narrow(step.path) + " open, as a running program would]");
    return true;
  }

  // As java.io.File.mkdirs: every missing folder of the path.
  bool MakeFolder(const Step& step) {
    const std::wstring path = Wide(step.path);
    for (std::size_t at = path.find_first_of(L"\\/", 3);; at = path.find_first_of(L"\\/", at + 1)) {
      const std::wstring prefix = path.substr(0, at);
      if (!CreateDirectoryW(prefix.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        return Failed(step, "cannot make the folder " + Narrow(std::u16string(prefix.begin(), prefix.end())));
      }
      if (at == std::wstring::npos) break;
    }
    log_.Line("  [the installer makes the folder " + Narrow(step.path) + "]");
    return true;
  }

  // The text as UTF-8, replacing the file.
  bool Write(const Step& step) {
    HANDLE file = CreateFileW(Wide(step.path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Failed(step, "cannot write " + Narrow(step.path));
    const std::string bytes = Narrow(step.content);
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    const DWORD error = GetLastError();
    CloseHandle(file);
    if (!ok) {
      SetLastError(error);
      return Failed(step, "cannot write " + Narrow(step.path));
    }
    log_.Line("  [the installer writes " + Narrow(step.path) + ": " + std::to_string(bytes.size()) + " bytes]");
    return true;
  }

  bool Failed(const Step& step, const std::string& what) {
    const std::string text = what + " (error " + std::to_string(GetLastError()) + ")";
    log_.Line("  !! " + text);
    return Refuse(step.where, text);
  }

  bool Release(const Step& step) {
    if (held_.erase(Wide(step.path)) == 0) return Refuse(step.where, Narrow(step.path) + " is not held");
    log_.Line("  [fwcall closes " + Narrow(step.path) + "]");
    return true;
  }

  std::ostream& out_;
  std::ostream& err_;
  fwtest::TestVm vm_;
  MethodTable table_;
  NativeLibrary library_;
  Log log_;
  std::map<std::wstring, std::unique_ptr<void, decltype(&CloseHandle)>> held_;
};

}  // namespace

int RunFwcall(const std::vector<Word>& args, std::ostream& out, std::ostream& err) {
  Options options;
  std::string error;
  if (!ParseOptions(args, &options, &error)) {
    err << "fwcall: " << error << "\n\n" << kUsage;
    return kExitBadInput;
  }
  std::ofstream jsonFile;
  if (options.json) {
    jsonFile.open(Wide(*options.json).c_str(), std::ios::binary | std::ios::trunc);
    if (!jsonFile) {
      err << "fwcall: cannot write " << Narrow(*options.json) << "\n";
      return kExitBadInput;
    }
  }
  Session session(options.json ? jsonFile : out, err);
  return session.Run(options);
}

}  // namespace fwcall
