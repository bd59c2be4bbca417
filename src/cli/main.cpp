#include <iostream>

#include "cli/cli.h"

int main(int argc, char** argv) {
    return lm::cli::runCli(argc, argv, std::cout, std::cerr);
}
