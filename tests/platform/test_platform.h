// The platform library's tests, one Qt Test program on every system:
// GetKeyValue and StartSysInfo over the fakes (test_platform.cpp); on Windows
// the real registry, file test and launch (registry_test.cpp), elsewhere the
// stand-ins (standins_test.cpp).
#pragma once

#include "qtext.h"

#include <QTest>

class TestPlatform : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void registryNamesAreWindowsOwn();
    void getKeyValueReadsByTypeAndSize_data();
    void getKeyValueReadsByTypeAndSize();
    void getKeyValueOfZeroBytesRaisesAndClosesTheKey_data();
    void getKeyValueOfZeroBytesRaisesAndClosesTheKey();
    void getKeyValueClosesTheKeyWhenTheQueryThrows();
    void startSysInfoFindsAndLaunchesTheTool_data();
    void startSysInfoFindsAndLaunchesTheTool();
    void startSysInfoReportsEveryFailureAsTheMessage_data();
    void startSysInfoReportsEveryFailureAsTheMessage();

#ifdef _WIN32
    void registryValuesReadThroughAdvapi32_data();
    void registryValuesReadThroughAdvapi32();
    void registryValueOfZeroBytesRaises();
    void keysAreOpenedForReadingOnly();
    void fileTestSeesOrdinaryFilesOnly_data();
    void fileTestSeesOrdinaryFilesOnly();
    void launcherStartsThePathAsOneProgram_data();
    void launcherStartsThePathAsOneProgram();
    void startSysInfoWithTheRealRegistry_data();
    void startSysInfoWithTheRealRegistry();
    void versionResourceCarriesTheProjectVersion();
#else
    void findProgramTakesTheFirstNamedExecutable_data();
    void findProgramTakesTheFirstNamedExecutable();
    void standInRegistryHoldsTheToolAsMsinfoPath_data();
    void standInRegistryHoldsTheToolAsMsinfoPath();
    void standInRegistryRefusesWritingAndTellsTheSize();
    void fileTestFindsOrdinaryFilesOnly_data();
    void fileTestFindsOrdinaryFilesOnly();
    void launcherStartsThePathAsOneProgramWithoutArguments_data();
    void launcherStartsThePathAsOneProgramWithoutArguments();
    void startSysInfoStartsTheDesktopToolFoundOnPath();
#endif
};
