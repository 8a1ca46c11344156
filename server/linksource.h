#pragma once

#include "iqbuffer.h"

// What the link server serves: the record and the flags its owner keeps. The server only
// reads through this interface, and never more samples than the record's heldCount().
class LinkSource
{
public:
    virtual ~LinkSource() = default;
    virtual const IqBuffer &record() const = 0;
    virtual bool newState() const = 0;   // the record or an acquisition parameter changed
    virtual bool dataValid() const = 0;  // the record holds valid samples
    virtual int connectTo() const = 0;   // 0 "LOOM", 1 "LOOM2": push the samples on GetNewState
};

// A LinkSource that reads the record and flags where their owner keeps them, so the server
// always sees the current values. The referenced objects must outlive it.
class BoundLinkSource : public LinkSource
{
public:
    BoundLinkSource(const IqBuffer &record, const bool &newState, const bool &dataValid,
                    const int &connectTo)
        : m_record(record)
        , m_newState(newState)
        , m_dataValid(dataValid)
        , m_connectTo(connectTo)
    {}
    const IqBuffer &record() const override { return m_record; }
    bool newState() const override { return m_newState; }
    bool dataValid() const override { return m_dataValid; }
    int connectTo() const override { return m_connectTo; }

private:
    const IqBuffer &m_record;
    const bool &m_newState;
    const bool &m_dataValid;
    const int &m_connectTo;
};
