#include "state/test_watch.h"

namespace culegere {

void TestWatch::follow(bool underWay)
{
    if (underWay == m_underWay)
        return;
    m_underWay = underWay;
    emit changed(underWay);
}

void TestWatch::drawn()
{
    emit newTest();
}

} // namespace culegere
