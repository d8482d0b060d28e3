#include "net/firewall_win.h"

#include <netfw.h>
#include <oleauto.h>
#include <shellapi.h>

#include <string_view>

#include "common/server_paths.h"
#include "platform/codepage_win.h"
#include "platform/com_ptr_win.h"
#include "platform/directories_win.h"
#include "platform/system_error_win.h"

namespace tidemoor {
namespace {

// The protocol number the firewall gives a rule for any protocol.
constexpr LONG kAnyProtocol = 256;

class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(std::string_view utf8) : text_(::SysAllocString(Widen(utf8).c_str())) {}
  ~Bstr() { ::SysFreeString(text_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR get() const { return text_; }
  BSTR* put() { return &text_; }
  std::string Utf8() const { return text_ ? Narrow(text_) : std::string(); }

 private:
  BSTR text_ = nullptr;
};

class ComUse {
 public:
  ComUse() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComUse() {
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }
  ComUse(const ComUse&) = delete;
  ComUse& operator=(const ComUse&) = delete;

 private:
  HRESULT result_;
};

HRESULT OpenPolicy(ComPtr<INetFwPolicy2>& policy) {
  return ::CoCreateInstance(__uuidof(NetFwPolicy2), nullptr, CLSCTX_INPROC_SERVER,
                            __uuidof(INetFwPolicy2), reinterpret_cast<void**>(policy.put()));
}

// What the host reads and searches for: the problem with the call's HRESULT and its words.
std::string Problem(const char* what, HRESULT result) {
  return WithCause(what, SystemErrorOf(static_cast<DWORD>(result)));
}

std::string Protocol(LONG protocol) {
  if (protocol == NET_FW_IP_PROTOCOL_UDP) return "UDP";
  if (protocol == NET_FW_IP_PROTOCOL_TCP) return "TCP";
  return protocol == kAnyProtocol ? "" : "other";
}

FirewallRule ReadRule(INetFwRule* rule) {
  FirewallRule read;
  Bstr name, program, ports;
  rule->get_Name(name.put());
  rule->get_ApplicationName(program.put());
  rule->get_LocalPorts(ports.put());
  VARIANT_BOOL enabled = VARIANT_FALSE;
  rule->get_Enabled(&enabled);
  NET_FW_RULE_DIRECTION direction = NET_FW_RULE_DIR_OUT;
  rule->get_Direction(&direction);
  NET_FW_ACTION action = NET_FW_ACTION_ALLOW;
  rule->get_Action(&action);
  LONG protocol = kAnyProtocol;
  rule->get_Protocol(&protocol);
  long profiles = 0;
  rule->get_Profiles(&profiles);
  read.name = name.Utf8();
  read.program = program.Utf8();
  read.localPorts = ports.Utf8();
  read.enabled = enabled == VARIANT_TRUE;
  read.inbound = direction == NET_FW_RULE_DIR_IN;
  read.allow = action == NET_FW_ACTION_ALLOW;
  read.protocol = Protocol(protocol);
  read.profiles = static_cast<unsigned>(profiles);
  return read;
}

// Calls visit for every rule; a failure when the rules could not be walked.
template <typename Visit>
HRESULT ForEachRule(INetFwRules* rules, Visit visit) {
  ComPtr<IUnknown> enumerable;
  if (const HRESULT result = rules->get__NewEnum(enumerable.put()); FAILED(result)) return result;
  if (!enumerable) return E_POINTER;
  ComPtr<IEnumVARIANT> items;
  if (const HRESULT result =
          enumerable->QueryInterface(__uuidof(IEnumVARIANT), reinterpret_cast<void**>(items.put()));
      FAILED(result)) {
    return result;
  }
  for (;;) {
    VARIANT item;
    ::VariantInit(&item);
    ULONG fetched = 0;
    if (items->Next(1, &item, &fetched) != S_OK || fetched == 0) break;
    ComPtr<INetFwRule> rule;
    if (item.vt == VT_DISPATCH && item.pdispVal &&
        SUCCEEDED(item.pdispVal->QueryInterface(__uuidof(INetFwRule),
                                                reinterpret_cast<void**>(rule.put())))) {
      visit(rule.get());
    }
    ::VariantClear(&item);
  }
  return S_OK;
}

bool AddRule(INetFwRules* rules, const char* name, const std::string& program,
             const std::string& ports) {
  ComPtr<INetFwRule> rule;
  if (FAILED(::CoCreateInstance(__uuidof(NetFwRule), nullptr, CLSCTX_INPROC_SERVER,
                                __uuidof(INetFwRule), reinterpret_cast<void**>(rule.put())))) {
    return false;
  }
  const Bstr ruleName(name);
  bool ok = SUCCEEDED(rule->put_Name(ruleName.get())) &&
            SUCCEEDED(rule->put_Direction(NET_FW_RULE_DIR_IN)) &&
            SUCCEEDED(rule->put_Action(NET_FW_ACTION_ALLOW)) &&
            SUCCEEDED(rule->put_Profiles(NET_FW_PROFILE2_ALL)) &&
            SUCCEEDED(rule->put_Enabled(VARIANT_TRUE));
  // UDP only, the program's rule too: the server's REST API (TCP) must never be opened to the
  // internet, it takes the admin password.
  ok = ok && SUCCEEDED(rule->put_Protocol(NET_FW_IP_PROTOCOL_UDP));
  if (!program.empty()) {
    const Bstr path(program);
    ok = ok && SUCCEEDED(rule->put_ApplicationName(path.get()));
  } else {
    const Bstr list(ports);
    ok = ok && SUCCEEDED(rule->put_LocalPorts(list.get()));
  }
  return ok && SUCCEEDED(rules->Add(rule.get()));
}

std::wstring FullPath(const std::string& path) {
  const std::wstring wide = Widen(path);
  const DWORD length = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (length == 0) return {};
  std::wstring full(length, L'\0');
  const DWORD written = ::GetFullPathNameW(wide.c_str(), length, full.data(), nullptr);
  if (written == 0 || written >= length) return {};
  full.resize(written);
  return full;
}

// The helper runs elevated: whoever starts it must not get the firewall opened for a program of
// their choosing. Only the server of the tool directory the helper lies in, its path compared as
// Windows compares paths (without case, "." and ".." and either slash resolved).
bool IsThisToolsServer(const std::string& program) {
  const std::wstring given = FullPath(program);
  const std::wstring expected = FullPath(ServerWorkerProgram(MakeServerPaths(ToolDirectory())));
  return !given.empty() && !expected.empty() &&
         ::CompareStringOrdinal(given.data(), static_cast<int>(given.size()), expected.data(),
                                static_cast<int>(expected.size()), TRUE) == CSTR_EQUAL;
}

std::wstring QuotedArgument(const std::string& argument) {
  std::wstring quoted = L"\"";
  for (wchar_t c : Widen(argument)) {
    if (c == L'"') quoted += L'\\';
    quoted += c;
  }
  // A backslash before the closing quote would escape it.
  if (!argument.empty() && argument.back() == '\\') quoted += L'\\';
  return quoted + L"\"";
}

}  // namespace

FirewallReading ReadFirewall() {
  const ComUse com;
  FirewallReading reading;
  ComPtr<INetFwPolicy2> policy;
  if (const HRESULT result = OpenPolicy(policy); FAILED(result)) {
    reading.problem = Problem("不支持: 此系统没有可用的防火墙接口", result);
    return reading;
  }
  long active = 0;
  if (const HRESULT result = policy->get_CurrentProfileTypes(&active); FAILED(result)) {
    reading.problem = Problem("不支持: 无法读取当前网络类型", result);
    return reading;
  }
  reading.state.activeProfiles = static_cast<unsigned>(active);
  for (const NET_FW_PROFILE_TYPE2 profile :
       {NET_FW_PROFILE2_DOMAIN, NET_FW_PROFILE2_PRIVATE, NET_FW_PROFILE2_PUBLIC}) {
    VARIANT_BOOL on = VARIANT_FALSE;
    if (const HRESULT result = policy->get_FirewallEnabled(profile, &on); FAILED(result)) {
      reading.problem = Problem("不支持: 无法读取防火墙开关", result);
      return reading;
    }
    if (on == VARIANT_TRUE) reading.state.enabledProfiles |= static_cast<unsigned>(profile);
  }
  ComPtr<INetFwRules> rules;
  HRESULT result = policy->get_Rules(rules.put());
  if (SUCCEEDED(result) && !rules) result = E_POINTER;
  if (SUCCEEDED(result)) {
    result = ForEachRule(rules.get(),
                         [&](INetFwRule* rule) { reading.rules.push_back(ReadRule(rule)); });
  }
  if (FAILED(result)) reading.problem = Problem("不支持: 无法读取防火墙规则", result);
  return reading;
}

FirewallFixExit FixFirewall(const FirewallFixJob& job) {
  const ComUse com;
  ComPtr<INetFwPolicy2> policy;
  ComPtr<INetFwRules> rules;
  if (FAILED(OpenPolicy(policy)) || FAILED(policy->get_Rules(rules.put())) || !rules) {
    return kFixUnsupported;
  }
  bool ok = true;
  // Block rules the first-run prompt left behind are disabled, never deleted: the host can undo it.
  const HRESULT walked = ForEachRule(rules.get(), [&](INetFwRule* rule) {
    const FirewallRule read = ReadRule(rule);
    if (read.enabled && read.inbound && !read.allow && SameProgramPath(read.program, job.program)) {
      ok = SUCCEEDED(rule->put_Enabled(VARIANT_FALSE)) && ok;
    }
  });
  if (FAILED(walked)) return kFixUnsupported;
  for (const char* name : {kProgramRuleName, kPortsRuleName}) {
    const Bstr ruleName(name);
    // Remove takes one rule of the name a call; the host may have copied ours.
    for (int i = 0; i < 8; ++i) {
      ComPtr<INetFwRule> existing;
      if (FAILED(rules->Item(ruleName.get(), existing.put()))) break;
      if (FAILED(rules->Remove(ruleName.get()))) {
        ok = false;
        break;
      }
    }
  }
  ok = AddRule(rules.get(), kProgramRuleName, job.program, {}) && ok;
  ok = AddRule(rules.get(), kPortsRuleName, {}, FixPortList(job)) && ok;
  return ok ? kFixDone : kFixFailed;
}

std::optional<unsigned long> RunFirewallFixIfAsked() {
  int count = 0;
  LPWSTR* raw = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (!raw) return std::nullopt;
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(Narrow(raw[i]));
  ::LocalFree(raw);
  if (arguments.empty() || arguments[0] != kFirewallFixSwitch) return std::nullopt;
  const std::optional<FirewallFixJob> job = ReadFirewallFixArguments(arguments);
  return job && IsThisToolsServer(job->program) ? FixFirewall(*job) : kFixBadArguments;
}

FixStart StartFirewallFix(HWND owner, const FirewallFixJob& job) {
  // The shell may hand the start to an extension of its own, which needs COM on this thread.
  const ComUse com;
  wchar_t self[MAX_PATH * 2] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH * 2);
  std::wstring parameters;
  for (const std::string& argument : FirewallFixArguments(job)) {
    parameters += (parameters.empty() ? L"" : L" ") + QuotedArgument(argument);
  }
  SHELLEXECUTEINFOW info{sizeof(info)};
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  info.hwnd = owner;
  info.lpVerb = L"runas";
  info.lpFile = self;
  info.lpParameters = parameters.c_str();
  info.nShow = SW_HIDE;
  FixStart start;
  if (!::ShellExecuteExW(&info)) {
    start.launch = ::GetLastError() == ERROR_CANCELLED ? FixLaunch::Refused : FixLaunch::NotStarted;
    return start;
  }
  start.launch = info.hProcess ? FixLaunch::Ran : FixLaunch::NotStarted;
  start.process.reset(info.hProcess);
  return start;
}

}  // namespace tidemoor
