// tarvex-cli-pdf: the pdf command of tarvex-cli, which starts it.

#include "cli/commands.h"
#include "cli/run_command.h"
#include "platform/huge_page_heap.h"

int main(int argc, char** argv) {
    tarvex::UseHugePageHeap(argv);
    using namespace tarvex::cli;
    return RunCommand(Pdf, Args(argv + 1, argv + argc), kPdfUsage);
}
