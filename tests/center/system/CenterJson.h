#pragma once

#include <cctype>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vok::test {

// The objects of a JSON array, each as its scalar members in text form
// (strings unescaped, numbers, true/false/null as written); nested values
// are skipped. Enough to read the center's API replies; anything that does
// not parse gives no objects at all.
class CenterJson {
public:
    using Object = std::map<std::string, std::string>;

    static std::vector<Object> Objects(std::string_view text) {
        CenterJson parser(text);
        std::vector<Object> objects;
        parser.Space();
        if (!parser.Take('[')) {
            return {};
        }
        parser.Space();
        if (parser.Take(']')) {
            return objects;
        }
        do {
            Object object;
            parser.Space();
            if (!parser.ObjectMembers(object)) {
                return {};
            }
            objects.push_back(std::move(object));
            parser.Space();
        } while (parser.Take(','));
        return parser.Take(']') ? objects : std::vector<Object>{};
    }

private:
    explicit CenterJson(std::string_view text) : m_text(text) {}

    bool ObjectMembers(Object& object) {
        if (!Take('{')) {
            return false;
        }
        Space();
        if (Take('}')) {
            return true;
        }
        do {
            Space();
            std::string name;
            std::string value;
            if (!String(name)) {
                return false;
            }
            Space();
            if (!Take(':')) {
                return false;
            }
            Space();
            if (!Value(value)) {
                return false;
            }
            object[name] = value;
            Space();
        } while (Take(','));
        return Take('}');
    }

    bool Value(std::string& scalar) {
        if (m_at >= m_text.size()) {
            return false;
        }
        const char c = m_text[m_at];
        if (c == '"') {
            return String(scalar);
        }
        if (c == '{' || c == '[') {
            return Skip();
        }
        const std::size_t start = m_at;
        while (m_at < m_text.size() &&
               std::string_view(",}] \t\r\n").find(m_text[m_at]) == std::string_view::npos) {
            ++m_at;
        }
        scalar = std::string(m_text.substr(start, m_at - start));
        return m_at > start;
    }

    // A nested object or array, skipped with the strings inside it.
    bool Skip() {
        int depth = 0;
        std::string ignored;
        while (m_at < m_text.size()) {
            const char c = m_text[m_at];
            if (c == '"') {
                if (!String(ignored)) {
                    return false;
                }
                continue;
            }
            ++m_at;
            depth += (c == '{' || c == '[') ? 1 : (c == '}' || c == ']') ? -1 : 0;
            if (depth == 0) {
                return true;
            }
        }
        return false;
    }

    bool String(std::string& out) {
        out.clear();
        if (!Take('"')) {
            return false;
        }
        while (m_at < m_text.size()) {
            const char c = m_text[m_at++];
            if (c == '"') {
                return true;
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (m_at >= m_text.size()) {
                return false;
            }
            const char e = m_text[m_at++];
            switch (e) {
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'u': {
                    if (m_at + 4 > m_text.size()) {
                        return false;
                    }
                    const std::string digits(m_text.substr(m_at, 4));
                    char* end = nullptr;
                    const unsigned long code = std::strtoul(digits.c_str(), &end, 16);
                    if (end != digits.c_str() + 4) {
                        return false;
                    }
                    m_at += 4;
                    // Only what the tests compare: the ASCII range.
                    out += code < 0x80 ? static_cast<char>(code) : '?';
                    break;
                }
                default:
                    out += e;
            }
        }
        return false;
    }

    void Space() {
        while (m_at < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_at]))) {
            ++m_at;
        }
    }
    bool Take(char c) {
        if (m_at < m_text.size() && m_text[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }

    std::string_view m_text;
    std::size_t m_at = 0;
};

}  // namespace vok::test
