// trovik-cli visa over a private tree of stand-in implementations.

#include "pontilsandbox.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace {

struct CliRun
{
    int status;
    std::string output;
};

CliRun runCli(const std::string &arguments, const char *command = "visa")
{
    CliRun run{-1, std::string()};
    FILE *pipe = popen(
            (std::string(TROVIK_CLI_FILE) + " " + command + " " + arguments + " 2>&1").c_str(),
            "r");
    if (!pipe)
        return run;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0)
        run.output.append(chunk, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(CliVisa, ReportsInstalledImplementationsAndTheChoice)
{
    PontilSandbox box;
    const std::string keysight = box.install("root/opt/keysight/iolibs/libktvisa32.so");
    box.install("sys/libvisa.so.0");
    const CliRun run = runCli("");
    EXPECT_EQ(run.status, 0) << run.output;
    for (const std::string &line :
         {std::string("0x0FF6  NI-VISA                not installed"),
          std::string("0x0FFF  Keysight IO Libraries  installed"),
          std::string("0xFFFF  system default VISA    installed"), "served by " + keysight,
          std::string("version 2.1.3, Fake Maker"),
          std::string("choice: 0x0FFF Keysight IO Libraries"), box.path("root/etc/natinst/nivisa")})
        EXPECT_NE(run.output.find(line), std::string::npos) << line << " in\n" << run.output;
}

TEST(CliVisa, NiWithItsConfigurationFolderIsChosenFirst)
{
    PontilSandbox box;
    box.install("root/opt/keysight/iolibs/libktvisa32.so");
    box.install("sys/libvisa.so.0");
    box.makeNiConfiguration();
    const CliRun run = runCli("--no-load");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("choice: 0x0FF6 NI-VISA"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("served by"), std::string::npos) << run.output;
}

TEST(CliVisa, FailsWhenNothingWouldBeChosen)
{
    PontilSandbox box;
    const CliRun run = runCli("--no-load");
    if (run.output.find("0x0FAF  kxvisa                 installed") != std::string::npos)
        GTEST_SKIP() << "kxvisa is installed beside libpontil.so";
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("choice: none"), std::string::npos) << run.output;
}

// The text from a marker to the end of its line.
std::string after(const std::string &text, const std::string &marker)
{
    const std::string::size_type at = text.find(marker);
    if (at == std::string::npos)
        return std::string();
    const std::string::size_type from = at + marker.size();
    return text.substr(from, text.find('\n', from) - from);
}

TEST(CliVisa, AgreesWithTheSupportReportOnTheVersionOfTheBuiltKxvisa)
{
    const CliRun visa = runCli("");
    if (after(visa.output, "choice: ") != "0x0FAF kxvisa")
        GTEST_SKIP() << "another VISA is installed on this machine";
    const std::string stated = after(visa.output.substr(visa.output.find("choice: ")), "version ");
    EXPECT_EQ(stated, "1.0.0, Vantorp kxvisa") << visa.output;
    const CliRun report = runCli("", "sysinfo");
    EXPECT_EQ(after(report.output, "VISA: "), "1.0.0 (Vantorp GmbH)") << report.output;
}

TEST(CliVisa, RejectsUnknownOptions)
{
    EXPECT_EQ(runCli("--frobnicate").status, 1);
}

}  // namespace
