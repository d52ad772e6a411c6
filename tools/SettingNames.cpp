#include "SettingNames.h"

namespace quarn_tools {

const SettingName& NameOf(quarn::settings::KeyId id) {
  // In KeyId's order.
  static const SettingName kNames[quarn::settings::kKeyCount] = {
      {"client_version", "Client version"},
      {"install_module", "Install module"},
      {"log_level", "Log level"},
      {"log_max_size", "Log size limit (bytes)"},
      {"max_cpu_use", "CPU use limit (%)"},
      {"max_mem_use", "Memory use limit"},
      {"protect_update", "Protect update"},
      {"protect_oru_hids", "Protect ORU/HIDS"},
      {"send_file", "Send files"},
      {"update_lua", "Update Lua"},
      {"connect_beta", "Connect to beta server"},
      {"vm_crash_check", "VM crash check"},
      {"velse_enabled", "Velse"},
      {"waf_enabled", "WAF"},
      {"waf_rule_refresh_minutes", "WAF rule refresh (min)"},
      {"waf_port_refresh_minutes", "WAF port refresh (min)"},
      {"waf_config", "WAF configuration"},
      {"service_servers", "Service servers"},
      {"update_servers", "Update servers"},
  };
  return kNames[static_cast<std::size_t>(id)];
}

}  // namespace quarn_tools
