#include "CheckReport.h"
#include "MessageIndex.h"

#include <gtest/gtest.h>

namespace {

TEST(CheckReport, TextFormForLineAndFileNameMessages)
{
    TSamplingData data;
    AddMessageWithValue(data, 0, 44, "25:61:00");
    AddMessage(data, 1234, 35);
    EXPECT_EQ(CheckResultToText("x/\xC4.dat", data),
              "x/Ä.dat: Die Zeitangabe '25:61:00' im Dateinamen ist ungültig.\n"
              "x/Ä.dat:1234: Die Zeile muss genau 2 Felder enthalten.\n");
    TSamplingData clean;
    clean.MessageText = "OK";
    EXPECT_EQ(CheckResultToText("a.dat", clean), "a.dat: OK\n");
}

} // namespace
