#include "dsp/Diode1TableReader.h"

#include "dsp/DiodeTableHeader.h"

#include <algorithm>
#include <cmath>

Diode1TableReader::Diode1TableReader()
    : Diode1TableReader (nullptr)
{
}

Diode1TableReader::Diode1TableReader (const char* set)
    : DiodeTableReaderBase (noTable(), set)
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

    float* idle = buffers.getIdle();
    const bool read = readTable (prefix, idle);
    buffers.readFinished (read, makeView (idle, true));
}

double Diode1TableReader::lookUp (const TableView& table, double x) noexcept
{
    const double u = (x + static_cast<double> (table.xOffset)) * static_cast<double> (table.xScale);
    const float* t = table.values;
    const int nextToLast = table.nx - 2;
    double out;

    if (u >= static_cast<double> (nextToLast))
    {
        out = t[nextToLast];
    }
    else if (u >= 1.0)
    {
        const int i = static_cast<int> (u);
        const double d = u - i + 1.0;
        constexpr double half = 0.5;
        constexpr double sixth = 0.1666666666666667;

        out = -(d - 1.0) * (d - 2.0) * (d - 3.0) * sixth * static_cast<double> (t[i - 1])
              + d * (d - 2.0) * (d - 3.0) * half * static_cast<double> (t[i])
              - d * (d - 1.0) * (d - 3.0) * half * static_cast<double> (t[i + 1])
              + d * (d - 1.0) * (d - 2.0) * sixth * static_cast<double> (t[i + 2]);
    }
    else if (u < 1.0)
    {
        out = t[0];
    }
    else
    {
        // NaN: the centre of the curve, input 0.
        out = t[(table.nx - 1) / 2];
    }

    return static_cast<double> (static_cast<float> (out));
}

void Diode1TableReader::processStereoSample (double& left, double& right)
{
    const auto& table = buffers.getActive();
    left = lookUp (table, left);
    right = lookUp (table, right);
}

void Diode1TableReader::processMonoSample (double& x)
{
    x = lookUp (buffers.getActive(), x);
}

void Diode1TableReader::useSilence()
{
    setGeometry (2, 2, -1.0f, 1.0f);
    buffers.allocate (count);
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
    view.xOffset = xOffset;
    view.xScale = xScale;
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

bool Diode1TableReader::readTableFrom (juce::InputStream& in, const juce::String& name, float* destination)
{
    DiodeTableHeader header;

    // The version is not checked: the curve's format has never changed.
    if (! header.read (in) || ! header.hasName (name) || header.rate != 0.0f)
        return false;

    const bool gridFits = header.nx >= 2 && header.count == header.nx && header.count <= buffers.getCapacity()
                          && std::isfinite (header.xmin) && std::isfinite (header.xmax) && header.xmax > header.xmin;

    if (! gridFits || destination == nullptr)
        return false;

    setGeometry (header.nx, header.count, header.xmin, header.xmax);
    return DiodeTableHeader::readValues (in, destination, header.count);
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
