// The commands of labelmaker-cli, in the order --help lists them. Each line
// names the function (in namespace lm::cli) that returns the command; a new
// command adds its own file with that function and one line here.
// This file is included twice by commandtable.cpp and has no include guard.
LM_CLI_COMMAND(pagesCommand)
LM_CLI_COMMAND(insertBlankCommand)
LM_CLI_COMMAND(deleteCommand)
LM_CLI_COMMAND(seriesCommand)
LM_CLI_COMMAND(convertCommand)
LM_CLI_COMMAND(extractCommand)
LM_CLI_COMMAND(pdfCommand)
LM_CLI_COMMAND(calibrationSheetCommand)
LM_CLI_COMMAND(calibrateCommand)
LM_CLI_COMMAND(checkCommand)
