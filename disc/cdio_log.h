#pragma once

// libcdio's own handler prints warnings on standard output, into the lines the command-line
// tool prints. This one sends errors to the Qt log (standard error) under "harvelo.cdio" and
// keeps the rest there at debug level, off unless that category is switched on.
// Installed once; call it before any other libcdio call.
void installCdioLogHandler();
