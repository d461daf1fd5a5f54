// Writes the settings file at argv[1] without end, each round setting all
// keys K0..K19 of sections A and B to the round number. The test kills it
// at a random moment and then reads what is left.
#include "settings/SettingsFile.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    im::settings::SettingsFile file(QString::fromLocal8Bit(argv[1]));
    for (int round = 0;; ++round) {
        for (const char* section : {"A", "B"}) {
            for (int k = 0; k < 20; ++k) {
                file.WriteInteger(QLatin1String(section), QStringLiteral("K%1").arg(k), round);
            }
        }
        if (round == 0) {
            std::puts("ready");
            std::fflush(stdout);
        }
    }
}
