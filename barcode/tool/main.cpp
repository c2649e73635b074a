// stelcode: encodes a text or raw bytes as a PDF417 symbol image.
#include "ToolOptions.h"

int main(int argc, char* argv[])
{
    return runTool(std::vector<std::string>(argv + 1, argv + argc), stdin, stdout, stderr);
}
