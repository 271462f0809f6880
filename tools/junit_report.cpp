// JUnit XML for a replay's outcomes.
#include "tools/junit_report.h"

#include <filesystem>
#include <fstream>

namespace {

// Text for an attribute: markup characters escaped, and the control
// characters that XML 1.0 forbids (a quoted trace word may hold any) shown
// as U+FFFD.
std::string xml_text(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r')
                out += "\xEF\xBF\xBD";
            else
                out += c;
        }
    }
    return out;
}

}  // namespace

bool write_junit_report(const std::string& path, const std::string& trace_path,
                        const std::vector<Statement_Outcome>& outcomes, std::string* error) {
    size_t failures = 0;
    for (const Statement_Outcome& outcome : outcomes) failures += outcome.failure ? 1 : 0;
    const std::string counts = " tests=\"" + std::to_string(outcomes.size()) + "\" failures=\"" +
                               std::to_string(failures) + "\"";
    const std::string suite = xml_text(std::filesystem::path(trace_path).stem().string());

    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites" << counts << ">\n"
         << "  <testsuite name=\"" << xml_text(trace_path) << "\"" << counts << ">\n";
    for (const Statement_Outcome& outcome : outcomes) {
        std::string name = "line " + std::to_string(outcome.line) + ": " +
                           (outcome.text.empty() ? std::string("statement") : outcome.text);
        file << "    <testcase classname=\"" << suite << "\" name=\"" << xml_text(name) << "\"";
        if (!outcome.failure) {
            file << "/>\n";
            continue;
        }
        file << ">\n      <failure message=\"" << xml_text(*outcome.failure) << "\"/>\n    </testcase>\n";
    }
    file << "  </testsuite>\n</testsuites>\n";
    file.close();
    if (!file) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}
