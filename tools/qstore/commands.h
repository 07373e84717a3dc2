#ifndef QSTORE_TOOLS_QSTORE_COMMANDS_H_
#define QSTORE_TOOLS_QSTORE_COMMANDS_H_

namespace qstore {

// Builds a sample form through the public interface and prints what it reads back.
int RunDemo(int argc, char** argv);

}  // namespace qstore

#endif  // QSTORE_TOOLS_QSTORE_COMMANDS_H_
