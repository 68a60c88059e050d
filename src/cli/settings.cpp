// pagewright-cli settings FILE: the layout settings as JSON on stdout.
// pagewright-cli set FILE -o OUT.pk2 NAME=VALUE...: layout settings changed by name.

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
    if (args.size() != 1 || args[0].startsWith(QLatin1Char('-')))
        return usageError(QStringLiteral("settings: erwartet eine Katalogdatei"));
    CatalogSession session = makeSession(context);
    if (!openCatalog(context, session, args[0]))
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
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("-o")) {
            if (!optionValue(args, i, a, out))
                return usageError(QStringLiteral("set: -o braucht einen Wert"));
            continue;
        }
        if (a.startsWith(QLatin1Char('-')))
            return usageError(QStringLiteral("set: unbekannte Option %1").arg(a));
        const qsizetype eq = a.indexOf(QLatin1Char('='));
        if (eq < 0) {
            if (!file.isEmpty())
                return usageError(QStringLiteral("set: %1 ist keine Zuweisung NAME=WERT").arg(a));
            file = a;
            continue;
        }
        const QString name = a.left(eq);
        const SettingInfo* info = findSetting(name);
        if (!info)
            return usageError(QStringLiteral("set: unbekannte Einstellung %1").arg(name));
        try {
            changes.emplace_back(info, parseSettingValue(*info, a.mid(eq + 1)));
        } catch (const Error& e) {
            return usageError(QStringLiteral("set: ") + e.plainText());
        }
    }
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
