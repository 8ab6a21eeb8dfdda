#include "serial/CPort1Settings.h"

void LoadCPort1Settings(TComPort& Port)
{
    Port.SetBaudRate(br57600);
    Port.SetPortNum("COM1");

    TComParity parity;
    parity.SetBits(prNone);
    parity.SetCheck(false);
    parity.SetReplace(false);
    parity.SetReplaceChar(0);
    Port.SetParity(parity);

    Port.SetStopBits(sbOneStopBit);
    Port.SetDataBits(dbEight);
    Port.SetDiscardNull(false);
    Port.SetEventChar(10);
    Port.SetEvents({evRxFlag});

    TComBuffer buffer;
    buffer.SetInputSize(1024);
    buffer.SetOutputSize(1024);
    Port.SetBuffer(buffer);

    TComFlowControl flow;
    flow.SetOutCTSFlow(false);
    flow.SetOutDSRFlow(false);
    flow.SetControlDTR(dtrDisable);
    flow.SetControlRTS(rtsDisable);
    flow.SetXonXoffOut(false);
    flow.SetXonXoffIn(false);
    flow.SetDSRSensitivity(false);
    flow.SetTxContinueOnXoff(false);
    flow.SetXonChar(17);
    flow.SetXoffChar(19);
    Port.SetFlowControl(flow);

    TComTimeouts timeouts;
    timeouts.SetReadInterval(-1);
    timeouts.SetReadTotalMultiplier(0);
    timeouts.SetReadTotalConstant(0);
    timeouts.SetWriteTotalMultiplier(1000);
    timeouts.SetWriteTotalConstant(1000);
    Port.SetTimeouts(timeouts);

    Port.SetSyncMethod(smWindowSync);
}
