#include "dsp/Diode1TableReader.h"

#include "dsp/DiodeTableHeader.h"

#include <algorithm>
#include <cmath>

Diode1TableReader::Diode1TableReader (const juce::File& folder)
    : Diode1TableReader (nullptr, folder)
{
}

Diode1TableReader::Diode1TableReader (const char* set, const juce::File& folder)
    : DiodeTableReaderBase (noTable(), set, folder)
{
    clearState();
    initParameters();
}

const Diode1TableReader::TableView& Diode1TableReader::noTable() noexcept
{
    static const float zeros[2] = {};
    static const TableView view { zeros };
    return view;
}

void Diode1TableReader::clearState()
{
}

void Diode1TableReader::update()
{
    // The curve does not depend on the rate; it is read again whenever the rate changes,
    // like the rate-dependent tables.
    if (takeRateToRead() == 0.0f)
        return;

    const float* values = takeTable (prefix);
    buffers.readFinished (values != nullptr, makeView (values, true));
}

const float* Diode1TableReader::takeTable (const juce::String& tablePrefix)
{
    if (! buffers.isSharing())
    {
        float* idle = buffers.getIdle();
        return readTable (tablePrefix, idle) ? idle : nullptr;
    }

    const auto name = getTableFileName (tablePrefix);
    const auto in = openImageToRead (tablePrefix, name);
    DiodeTableHeader header;

    if (in == nullptr || ! acceptHeader (*in, name, header))
        return nullptr;

    return sharedValues (tablePrefix, name, header.count);
}

double Diode1TableReader::lookUpAtEdge (const TableView& table, double u) noexcept
{
    const float* t = table.values;
    const int nextToLast = table.nx - 2;

    if (u >= static_cast<double> (nextToLast))
        return static_cast<double> (t[nextToLast]);

    if (u < 1.0)
        return static_cast<double> (t[0]);

    // NaN: the centre of the curve, input 0. (Inside the curve the inline lookup applies.)
    return static_cast<double> (t[(table.nx - 1) / 2]);
}

void Diode1TableReader::useSilence()
{
    setGeometry (2, 2, -1.0f, 1.0f);
    reserve (count);
    buffers.useZeros (makeView (nullptr, false));
}

void Diode1TableReader::setGeometry (int newNx, int newCount, float newXmin, float newXmax)
{
    nx = newNx;
    count = newCount;
    nxMinus1 = nx - 1;
    xmin = newXmin;
    xmax = newXmax;
    xRange = xmax - xmin;
    xOffset = xRange / 2.0f;
    xScale = static_cast<float> (nxMinus1) / xRange;
}

Diode1TableReader::TableView Diode1TableReader::makeView (const float* values, bool isCurve) const
{
    TableView view;
    view.values = values;
    view.nx = nx;
    view.xOffset = static_cast<double> (xOffset);
    view.xScale = static_cast<double> (xScale);
    view.nextToLast = static_cast<double> (nx - 2);
    view.isCurve = isCurve;
    return view;
}

bool Diode1TableReader::hasActiveTable() const noexcept
{
    return buffers.getActive().isCurve;
}

juce::String Diode1TableReader::getTableFileName (const juce::String& tablePrefix)
{
    return tablePrefix + "Output.dat";
}

bool Diode1TableReader::acceptHeader (juce::InputStream& in, const juce::String& name, DiodeTableHeader& header)
{
    // The version is not checked: the curve's format has never changed.
    if (! header.read (in) || ! header.hasName (name) || header.rate != 0.0f)
        return false;

    const bool gridFits = header.nx >= 2 && header.count == header.nx && header.count <= buffers.getCapacity()
                          && std::isfinite (header.xmin) && std::isfinite (header.xmax) && header.xmax > header.xmin;

    if (! gridFits)
        return false;

    setGeometry (header.nx, header.count, header.xmin, header.xmax);
    return true;
}

bool Diode1TableReader::readTableFrom (juce::InputStream& in, const juce::String& name, float* destination)
{
    DiodeTableHeader header;
    return destination != nullptr && acceptHeader (in, name, header) && DiodeTableHeader::readValues (in, destination, header.count);
}

bool Diode1TableReader::readTable (const juce::String& tablePrefix, float* destination)
{
    const auto name = getTableFileName (tablePrefix);
    const auto in = openImageToRead (tablePrefix, name);
    return in != nullptr && readTableFrom (*in, name, destination);
}

int Diode1TableReader::getTableSize()
{
    return readTableSize (getTableFileName (prefix));
}
