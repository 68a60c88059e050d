#include "args.h"

#include "cli/cli.h"

namespace pw::cli {

namespace {

// "<command>: <text>", the text translated and then filled with its arguments.
bool refuse(const ArgRules& rules, const char* text, const QStringList& args) {
    printUsageError(QLatin1String(rules.command) + QStringLiteral(": ") +
                    usageText(QString::fromUtf8(text), args));
    return false;
}

const ArgOption* findOption(const std::vector<ArgOption>& options, const QString& name) {
    for (const ArgOption& o : options) {
        if (name == o.name)
            return &o;
    }
    return nullptr;
}

} // namespace

ArgRules editRules(const char* command) {
    ArgRules rules;
    rules.command = command;
    rules.oneFile = false;
    rules.loneDashIsFile = true;
    rules.unknown = "unbekannte Option %1";
    rules.switchWithValue = "%1 hat keinen Wert";
    return rules;
}

bool parseInt(const QString& text, int low, int high, int& out) {
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < low || v > high)
        return false;
    out = v;
    return true;
}

bool readArgs(const QStringList& args, const ArgRules& rules, const std::vector<ArgOption>& options,
              QStringList* files) {
    bool haveFile = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool isOption = a.startsWith(QLatin1String(rules.optionPrefix)) &&
                              !(rules.loneDashIsFile && a == QLatin1String("-"));
        if (!isOption) {
            if (rules.oneFile && haveFile)
                return refuse(rules, rules.unknown, {a});
            haveFile = true;
            if (rules.onFile) {
                if (!rules.onFile(a))
                    return false;
            } else if (files) {
                files->append(a);
            }
            continue;
        }
        const qsizetype eq = a.indexOf(QLatin1Char('='));
        const QString name = eq < 0 ? a : a.left(eq);
        const ArgOption* o = findOption(options, name);
        if (o && o->kind == ArgOption::Kind::Switch && eq >= 0 && !rules.switchWithValue)
            o = nullptr; // "--strict=1" is not the switch
        if (!o)
            return refuse(rules, rules.unknown, {a});
        if (o->seen)
            *o->seen = true;
        if (o->kind == ArgOption::Kind::Switch) {
            if (eq >= 0)
                return refuse(rules, rules.switchWithValue, {name});
            if (o->on)
                *o->on = true;
            if (o->onSwitch && !o->onSwitch())
                return false;
            continue;
        }
        QString value;
        bool present = true;
        if (eq >= 0)
            value = a.mid(eq + 1);
        else if (i + 1 < args.size())
            value = args[++i];
        else
            present = false;
        if (o->kind == ArgOption::Kind::Number) {
            int number = 0;
            if (!present || !parseInt(value, o->low, o->high, number)) {
                if (o->badValue)
                    return refuse(rules, o->badValue, {});
                return refuse(rules, "%1 erwartet %2 bis %3",
                              {name, QString::number(o->low), QString::number(o->high)});
            }
            if (o->number)
                *o->number = number;
            continue;
        }
        if (!present) {
            if (o->badValue)
                return refuse(rules, o->badValue, {});
            return refuse(rules, "%1 braucht einen Wert", {name});
        }
        if (o->text)
            *o->text = value;
    }
    return true;
}

} // namespace pw::cli
