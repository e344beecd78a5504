#include "rules/warning.h"
#include "tools/state/state_tool.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string out;
    std::string err;
    const int status = orvanta::runStateTool(args, out, err);
    std::fputs(err.c_str(), stderr);
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0) {
        orvanta::warn("cannot write the output");
        return 1;
    }
    return status;
}
