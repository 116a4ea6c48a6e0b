#pragma once

// Registers the program's own Qt resources (help pages, click sound). They sit in a static
// library, whose resource object the linker drops unless something names it; every user of
// the resources calls this first. Calling it again does nothing.
void initAppResources();
