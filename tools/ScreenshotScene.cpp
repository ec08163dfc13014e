#include "tools/ScreenshotScene.h"

#include "platform/Cp932.h"
#include "tests/support/ScriptedPlatform.h"

#include <QString>
#include <optional>
#include <vector>

namespace {

using Outcome = ScriptedPlatform::Outcome;

struct SceneHost {
    const char *Host;
    const char *Note;                                  // UTF-8
    std::vector<Outcome> Echoes;                       // empty: every echo answered
    std::optional<std::string> Address = std::nullopt; // where a name resolves
};

const Outcome Answered = ScriptedPlatform::Answer();
const Outcome TimedOut = ScriptedPlatform::Failure(11010);
const Outcome Unreachable = ScriptedPlatform::ErrorFrom(11003, "203.0.113.1");

// In the table's order; a name that is never resolved is an unknown host.
const std::vector<SceneHost> &Hosts()
{
    static const std::vector<SceneHost> hosts = {
        {"192.0.2.1", "本社ルータ", {}},
        {"192.0.2.25", "メールサーバ", {}},
        {"192.0.2.80", "Webサーバ（応答が不安定）", {Answered, TimedOut, Answered, Answered}},
        {"198.51.100.20", "大阪支店プリンタ", {TimedOut, TimedOut, TimedOut, TimedOut}},
        {"198.51.100.7", "大阪支店ゲートウェイ", {Answered, Answered, TimedOut, TimedOut}},
        {"203.0.113.5", "旧ファイルサーバ（撤去予定）", {Unreachable, Unreachable, Unreachable, Unreachable}},
        {"nas01.example.jp", "経理部 NAS", {}, "192.0.2.40"},
        {"printer3f", "3階プリンタ", {}},
    };
    return hosts;
}

} // namespace

TControlFileContent ScreenshotControlFile()
{
    TControlFileContent content;
    content.Height = 260;
    content.Width = 660;
    content.Top = 100;
    content.Left = 100;
    content.ColWidths = {36, 36, 176, 110, 200};
    content.Settings.pingCount = 4;
    content.Settings.AutoTime = 5;
    content.Settings.AutoExec = true;
    for (const SceneHost &host : Hosts())
        content.Hosts.push_back({host.Host, platform::ToCp932(QString::fromUtf8(host.Note))});
    return content;
}

void ScriptScreenshotEchoes(ScriptedPlatform &platform)
{
    for (const SceneHost &host : Hosts()) {
        if (host.Address) {
            platform.ScriptName(host.Host, {host.Address});
            platform.Script(*host.Address, host.Echoes);
        } else {
            platform.Script(host.Host, host.Echoes);
        }
    }
}
