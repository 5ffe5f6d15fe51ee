#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vok::test {

// The objects of a JSON array, each as its scalar members in text form
// (numbers as integers where they are whole); nested values are left out.
// Anything else gives no objects.
class CenterJson {
public:
    using Object = std::map<std::string, std::string>;

    static std::vector<Object> Objects(std::string_view text) {
        const QJsonDocument document =
            QJsonDocument::fromJson(QByteArray(text.data(), static_cast<qsizetype>(text.size())));
        std::vector<Object> objects;
        for (const QJsonValue& item : document.array()) {
            Object object;
            const QJsonObject members = item.toObject();
            for (auto member = members.begin(); member != members.end(); ++member) {
                const QJsonValue value = member.value();
                if (value.isString()) {
                    object[member.key().toStdString()] = value.toString().toStdString();
                } else if (value.isDouble()) {
                    object[member.key().toStdString()] =
                        std::to_string(value.toInteger(static_cast<qint64>(value.toDouble())));
                }
            }
            objects.push_back(std::move(object));
        }
        return objects;
    }
};

}  // namespace vok::test
