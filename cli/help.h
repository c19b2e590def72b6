// The sub-commands' table (word, one-line summary, usage, options) and the help texts printed from
// it: "harmograph --help", "harmograph SUB --help", "harmograph --version".
#pragma once

#include <ostream>
#include <string_view>

namespace hg::cli {

struct CommandInfo {
    const char* word;
    int (*run)(int argc, char** argv);
    const char* summary;  // one line
    const char* usage;    // "harmograph convert FILE... [--start T] ..."
    const char* options;  // one option a line: "--start T\tthe period's start"
};

// Every sub-command in the order the help lists them.
const CommandInfo* commandTable(std::size_t& count);
const CommandInfo* findCommand(std::string_view word);

void printOverview(std::ostream& out);
void printCommandHelp(std::ostream& out, const CommandInfo& command);
void printVersion(std::ostream& out);

// "harmograph SUB: usage: ... (harmograph SUB --help lists the options)"; returns kExitUsage.
int usageOf(std::string_view word);

}  // namespace hg::cli
