#pragma once

// Qt 6.4's string hash (a seeded qHash, as every QHash<QString, ...> takes, on CPUs with VAES)
// returns with the upper halves of the AVX registers in use. Until they are cleared, every SSE
// instruction of the codec libraries, which are built for SSE, pays for them: Opus encoding in
// harvelo-cli took a quarter longer than in opusenc, and libm's calls twenty times as long.
// Called where audio is handed to a library: cheap enough for every block.
void clearUpperVectorState();

// True while the upper AVX halves are in use in this thread; false where the CPU cannot say.
bool upperVectorStateInUse();
