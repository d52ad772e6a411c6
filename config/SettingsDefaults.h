// The defaults and bounds of the settings: what a setting holds when the
// settings file does not give it a usable value. The one place they are
// written; the object's construction and the settings reader use them.
#ifndef QUARN_CONFIG_SETTINGSDEFAULTS_H
#define QUARN_CONFIG_SETTINGSDEFAULTS_H

#include "util/LogMessage.h"

namespace quarn {
namespace defaults {

const char kCurrentVersion[] = "quarn_00_90";
const char kInstallModule[] = "";
const int kLogLevel = kqt::CLogMessage::kDefaultLevel;
const int kLogMaxSize = 0x100000;
const int kMaxCpuUse = 10;
const int kHighestMaxCpuUse = 90;  // above it, or not positive: the default
const int kMaxMemUse = 51200;
const int kHighestMaxMemUse = 122880;
const bool kProtectUpdate = true;
const bool kProtectOruHids = true;
const bool kSendFile = true;
const bool kUpdateLua = true;
const bool kConnectBeta = false;
const bool kVmCrashCheck = false;
const bool kVelseEnable = false;
const bool kVelseWafEnable = false;
const int kWafRuleRefresh = 720;   // minutes; not positive: the default
const int kWafPortRefresh = 1440;  // minutes; not positive: the default
const char kWafConfig[] = "";

}  // namespace defaults
}  // namespace quarn

#endif
