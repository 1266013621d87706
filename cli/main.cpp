// SPDX-License-Identifier: GPL-3.0-or-later
#include <iostream>

#include "commands.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    return cli::runMain(argc, argv, std::cout, std::cerr);
}
