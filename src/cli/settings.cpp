// pagewright-cli settings FILE: the layout settings as JSON on stdout.
// pagewright-cli set FILE -o OUT.pk2 NAME=VALUE...: layout settings changed by name.

#include "cli/args.h"
#include "cli/cli.h"
#include "cli/json.h"
#include "cli/layoutcli.h"
#include "cli/load.h"
#include "model/editcommands.h"
#include "model/settingstable.h"

#include <type_traits>
#include <variant>
#include <vector>

namespace pw::cli {

namespace {

void writeFont(JsonWriter& j, const FontSpec& f) {
    j.beginObject();
    j.key("Charset").value(qint32(f.Charset));
    j.key("Color").value(f.Color);
    j.key("Name").value(f.Name);
    j.key("Pitch").value(qint32(f.Pitch));
    j.key("PixelsPerInch").value(f.PixelsPerInch);
    j.key("Size").value(f.Size);
    j.key("Style").value(qint32(f.Style));
    j.endObject();
}

} // namespace

void writeSettingsJson(JsonWriter& j, const LayoutSettings& s) {
    j.beginObject();
    for (const SettingInfo& info : layoutSettingsTable()) {
        j.key(info.name);
        std::visit(
            [&j](const auto& v) {
                if constexpr (std::is_same_v<std::decay_t<decltype(v)>, FontSpec>)
                    writeFont(j, v);
                else
                    j.value(v);
            },
            settingValue(s, info));
    }
    j.endObject();
}

int runSettings(const QStringList& args, Context& context) {
    ArgRules rules;
    rules.command = "settings";
    rules.unknown = "erwartet eine Katalogdatei";
    QStringList files;
    if (!readArgs(args, rules, {}, &files))
        return kUsage;
    if (files.isEmpty())
        return usageError(QStringLiteral("settings: erwartet eine Katalogdatei"));
    CatalogSession session = makeSession(context);
    if (!openCatalog(context, session, files[0]))
        return kFailed;
    CatalogDocument& doc = session.doc();
    JsonWriter j;
    writeSettingsJson(j, doc.settings);
    return printJson(j);
}

int runSet(const QStringList& args, Context& context) {
    QString file;
    QString out;
    std::vector<std::pair<const SettingInfo*, SettingValue>> changes;
    // The file and the assignments NAME=VALUE, each checked where it stands.
    const auto fileOrAssignment = [&](const QString& a) {
        const qsizetype eq = a.indexOf(QLatin1Char('='));
        if (eq < 0) {
            if (!file.isEmpty()) {
                usageError(QStringLiteral("set: %1 ist keine Zuweisung NAME=WERT"), a);
                return false;
            }
            file = a;
            return true;
        }
        const QString name = a.left(eq);
        const SettingInfo* info = findSetting(name);
        if (!info) {
            usageError(QStringLiteral("set: unbekannte Einstellung %1"), name);
            return false;
        }
        try {
            changes.emplace_back(info, parseSettingValue(*info, a.mid(eq + 1)));
        } catch (const Error& e) {
            usageError(QStringLiteral("set: %1"), errorText(e, context.texts));
            return false;
        }
        return true;
    };
    ArgRules rules = editRules("set");
    rules.loneDashIsFile = false;
    rules.onFile = fileOrAssignment;
    if (!readArgs(args, rules, {{.name = QStringLiteral("-o"), .kind = ArgOption::Kind::Text, .text = &out}}))
        return kUsage;
    if (file.isEmpty() || out.isEmpty() || changes.empty())
        return usageError(QStringLiteral("set: erwartet eine Katalogdatei, -o DATEI.pk2 und NAME=WERT"));
    CatalogSession session = makeSession(context);
    if (!openCatalog(context, session, file))
        return kFailed;
    for (const auto& [info, value] : changes)
        changeSetting(session.edit(), *info, value);
    return saveSessionAs(context, session, out) ? kOk : kFailed;
}

} // namespace pw::cli
