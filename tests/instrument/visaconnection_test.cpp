// The owner of the VISA handles: what it opens, what it closes and that closing twice is
// harmless.
#include "scriptedinstrument.h"
#include "visaconnection.h"

#include <gtest/gtest.h>

namespace {

class VisaConnectionTest : public ::testing::Test
{
protected:
    void SetUp() override { ScriptedInstrument::start(); }
};

TEST_F(VisaConnectionTest, OpensTheManagerThenTheInstrument)
{
    VisaConnection visa;
    EXPECT_EQ(visa.resourceManager(), 0u);
    ASSERT_EQ(visa.open(), VI_SUCCESS);
    EXPECT_EQ(visa.resourceManager(), ScriptedInstrument::kResourceManager);
    EXPECT_FALSE(visa.hasInstrument());
    ASSERT_EQ(visa.openInstrument("GPIB0::20::INSTR"), VI_SUCCESS);
    EXPECT_EQ(visa.session(), ScriptedInstrument::kSession);
    EXPECT_EQ(ScriptedInstrument::openedResource(), "GPIB0::20::INSTR");
    EXPECT_EQ(ScriptedInstrument::closed(), QString());
}

// Each handle is closed once, the instrument before the manager, whether closed twice or
// left to the destructor; a new instrument closes the old one.
TEST_F(VisaConnectionTest, EachHandleIsClosedOnceTheInstrumentFirst)
{
    {
        VisaConnection visa;
        visa.open();
        visa.openInstrument("TCPIP::10.0.0.1::INSTR");
        visa.openInstrument("TCPIP::10.0.0.2::INSTR");
        EXPECT_EQ(ScriptedInstrument::closed(), "instr ");
        EXPECT_TRUE(visa.hasInstrument());
        visa.dropInstrument();
        visa.dropInstrument();
        EXPECT_EQ(visa.session(), 0u);
        EXPECT_EQ(ScriptedInstrument::closed(), "instr instr ");
        visa.close();
        visa.close();
        EXPECT_EQ(visa.resourceManager(), 0u);
    }  // the destructor finds nothing left to close
    EXPECT_EQ(ScriptedInstrument::closed(), "instr instr rm ");
    ScriptedInstrument::start();
    {
        VisaConnection visa;
        visa.open();
        visa.openInstrument("TCPIP::10.0.0.1::INSTR");
    }
    EXPECT_EQ(ScriptedInstrument::closed(), "instr rm ");
}

TEST_F(VisaConnectionTest, AFailedOpenHoldsNoSession)
{
    VisaConnection visa;  // no manager: the open fails
    EXPECT_EQ(visa.openInstrument("TCPIP::10.0.0.1::INSTR"), VI_ERROR_INV_OBJECT);
    EXPECT_FALSE(visa.hasInstrument());
    visa.close();
    EXPECT_EQ(ScriptedInstrument::closed(), QString());
}

}  // namespace
