// Job files through Qt's JSON reader. Every key is turned into the option it stands for, so that
// a job's values are checked by the same code as the command line's; an unknown key is refused,
// since a misspelt "threshhold" silently ignored would change a verdict.
#include "GridtestJobFile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <cstdio>

#include "files/Folders.h"

namespace lks {

namespace {

enum class Kind { Text, Number, Flag, Path, Channels };

struct Key {
    const char* key;
    const char* option;
    Kind kind;
};

const Key kRunKeys[] = {
    {"building", "--building", Kind::Text},
    {"address", "--address", Kind::Text},
    {"permit", "--permit", Kind::Text},
    {"test_date", "--test-date", Kind::Text},
    {"system", "--system", Kind::Text},
    {"equipment", "--equipment", Kind::Text},
    {"tester", "--tester", Kind::Text},
    {"company", "--company", Kind::Text},
    {"certification", "--certification", Kind::Text},
    {"profile", "--profile", Kind::Text},
    {"threshold", "--threshold", Kind::Number},
    {"channels", "--channel", Kind::Channels},
    {"mode", "--mode", Kind::Text},
    {"title", "--title", Kind::Text},
    {"paper", "--paper", Kind::Text},
    {"grid", "--grid", Kind::Text},
    {"pass", "--pass", Kind::Number},
    {"critical_pass", "--critical-pass", Kind::Number},
    {"max_failing", "--max-failing", Kind::Number},
    {"non_adjacent", "--non-adjacent", Kind::Flag},
    {"centre_tolerance", "--centre-tolerance", Kind::Text},
    {"min_samples", "--min-samples", Kind::Number},
    {"min_daq", "--min-daq", Kind::Number},
    {"best_server", "--best-server", Kind::Flag},
    {"require_complete", "--require-complete", Kind::Flag},
    {"table", "--table", Kind::Path},
};

const Key kFloorKeys[] = {
    {"site", "--site", Kind::Path},
    {"name", "--floor", Kind::Text},
    {"scale", "--scale", Kind::Text},
    {"daq", "--daq", Kind::Path},
};

std::string number(double v) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}

std::string rectText(const QJsonObject& o, const std::string& where, std::string& error) {
    std::string text;
    for (const char* side : {"x", "y", "w", "h"}) {
        const QJsonValue v = o.value(side);
        if (!v.isDouble() || std::floor(v.toDouble()) != v.toDouble()) {
            error = where + " needs whole numbers x, y, w and h";
            return std::string();
        }
        text += (text.empty() ? "" : ",") + number(v.toDouble());
    }
    return text;
}

// One key's value as option text; false with error.
bool valueText(const QJsonValue& v, Kind kind, const std::string& folder, const std::string& where,
               std::string& text, std::string& error) {
    switch (kind) {
    case Kind::Text:
        if (v.isDouble()) {
            text = number(v.toDouble());
            return true;
        }
        text = v.toString().toStdString();
        if (!v.isString()) {
            error = where + " needs text";
        }
        return v.isString();
    case Kind::Number:
        text = number(v.toDouble());
        if (!v.isDouble()) {
            error = where + " needs a number";
        }
        return v.isDouble();
    case Kind::Flag:
        text = v.toBool() ? "true" : "";
        if (!v.isBool()) {
            error = where + " needs true or false";
        }
        return v.isBool();
    case Kind::Path:
        text = v.toString().toStdString();
        if (!v.isString() || text.empty()) {
            error = where + " needs a file name";
            return false;
        }
        if (text.front() != '/') {
            text = folder + "/" + text;
        }
        return true;
    case Kind::Channels:
        text.clear();
        for (const QJsonValue& c : v.toArray()) {
            if (!c.isDouble()) {
                error = where + " needs a list of channel numbers";
                return false;
            }
            text += (text.empty() ? "" : ",") + number(c.toDouble());
        }
        if (!v.isArray() || text.empty()) {
            error = where + " needs a list of channel numbers";
            return false;
        }
        return true;
    }
    return false;
}

template <size_t N>
bool readKeys(const QJsonObject& object, const Key (&keys)[N], const std::string& prefix,
              const std::string& folder, const std::set<QString>& handled, OptionValues& out,
              std::string& error) {
    for (auto it = object.begin(); it != object.end(); ++it) {
        const std::string where = "job file: " + prefix + it.key().toStdString();
        const Key* key = nullptr;
        for (const Key& k : keys) {
            key = it.key() == QLatin1String(k.key) ? &k : key;
        }
        if (key == nullptr) {
            if (handled.count(it.key()) == 0) {
                error = where + " is not a key of a job file";
                return false;
            }
            continue;
        }
        std::string text;
        if (!valueText(it.value(), key->kind, folder, where, text, error)) {
            return false;
        }
        if (key->kind == Kind::Flag) {
            if (!text.empty()) {
                out.flags.insert(key->option);
            }
        } else {
            out.single[key->option] = {text, where};
        }
    }
    return true;
}

bool readFloor(const QJsonValue& value, size_t index, const std::string& folder,
               OptionValues& floor, std::string& error) {
    const std::string prefix = "floors[" + std::to_string(index + 1) + "].";
    if (!value.isObject()) {
        error = "job file: floors[" + std::to_string(index + 1) + "] needs an object";
        return false;
    }
    const QJsonObject o = value.toObject();
    if (!readKeys(o, kFloorKeys, prefix, folder, {"area", "critical"}, floor, error)) {
        return false;
    }
    if (!floor.Has("--site")) {
        error = "job file: " + prefix + "site is missing";
        return false;
    }
    if (o.contains("area")) {
        const std::string where = "job file: " + prefix + "area";
        const std::string text = rectText(o.value("area").toObject(), where, error);
        if (text.empty()) {
            return false;
        }
        floor.single["--area"] = {text, where};
    }
    const QJsonArray critical = o.value("critical").toArray();
    for (int i = 0; i < critical.size(); ++i) {
        const std::string where = "job file: " + prefix + "critical[" + std::to_string(i + 1) + "]";
        const QJsonObject area = critical[i].toObject();
        const std::string text = rectText(area, where, error);
        if (text.empty()) {
            return false;
        }
        const std::string name = area.value("name").toString().toStdString();
        floor.repeated["--critical"].push_back({name.empty() ? text : text + ":" + name, where});
    }
    return true;
}

} // namespace

bool ReadJobFile(const std::string& path, OptionValues& values, std::vector<OptionValues>& floors,
                 std::string& error) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        error = "cannot open " + path + ": " + file.errorString().toStdString();
        return false;
    }
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parse);
    if (parse.error != QJsonParseError::NoError || !doc.isObject()) {
        error = path + " is not a JSON object" +
                (parse.error != QJsonParseError::NoError
                     ? ": " + parse.errorString().toStdString() + " at byte " +
                           std::to_string(parse.offset)
                     : std::string());
        return false;
    }
    const std::string folder = FolderOf(path);
    const QJsonObject root = doc.object();
    if (!readKeys(root, kRunKeys, "", folder, {"floors"}, values, error)) {
        return false;
    }
    const QJsonArray list = root.value("floors").toArray();
    if (list.isEmpty()) {
        error = "job file: floors needs a list of at least one floor";
        return false;
    }
    for (int i = 0; i < list.size(); ++i) {
        floors.emplace_back();
        if (!readFloor(list[i], static_cast<size_t>(i), folder, floors.back(), error)) {
            return false;
        }
    }
    return true;
}

} // namespace lks
