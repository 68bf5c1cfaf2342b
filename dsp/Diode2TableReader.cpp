#include "dsp/Diode2TableReader.h"

#include "dsp/DiodeTableHeader.h"
#include "resources/EmbeddedResources.h"

#include <algorithm>
#include <cmath>

const float Diode2TableReader::tableRates[numTableRates] = { 44100.0f, 48000.0f, 88200.0f, 96000.0f, 176400.0f, 192000.0f, 352800.0f, 384000.0f };

Diode2TableReader::Diode2TableReader (const juce::File& folder)
    : Diode2TableReader (nullptr, folder)
{
}

Diode2TableReader::Diode2TableReader (const char* set, const juce::File& folder)
    : DiodeTableReaderBase (noTable(), set, folder)
{
    clearState();
    initParameters();
}

const Diode2TableReader::TableView& Diode2TableReader::noTable() noexcept
{
    static const float zeros[4] = {};
    static const TableView view { zeros };
    return view;
}

void Diode2TableReader::clearState()
{
    previousLeft = 0.0;
    previousRight = 0.0;
}

void Diode2TableReader::update()
{
    const float rate = takeRateToRead();

    if (rate == 0.0f)
        return;

    float readRate = rate;
    const float* values = takeTable (prefix, rate);

    // A rate without a table takes the table of the nearest rate that has one, whatever was in
    // use before, so that the sound at a setting never depends on the settings before it.
    if (values == nullptr)
    {
        readRate = getNearestTableRate (rate);

        if (readRate != rate)
            values = takeTable (prefix, readRate);
    }

    buffers.readFinished (values != nullptr, makeView (values, readRate));
}

const float* Diode2TableReader::takeTable (const juce::String& tablePrefix, float rate)
{
    if (! buffers.isSharing())
    {
        float* idle = buffers.getIdle();
        return readTable (tablePrefix, rate, idle) ? idle : nullptr;
    }

    const auto name = getTableFileName (tablePrefix, rate);
    const auto in = openImageToRead (tablePrefix, name);
    DiodeTableHeader header;

    if (in == nullptr || ! acceptHeader (*in, name, rate, header))
        return nullptr;

    return sharedValues (tablePrefix, name, header.count);
}

double Diode2TableReader::lookUpAtEdge (const TableView& table, double u, double v) noexcept
{
    // The cell of grid coordinate w on points 0 .. last: clamped to the first or last point
    // outside the grid, the centre point (input 0) for NaN, so that no input indexes outside.
    auto locate = [] (double w, int last, int& i0, int& i1, double& f)
    {
        if (w >= static_cast<double> (last))
        {
            i0 = i1 = last;
            f = 0.0;
        }
        else if (w >= 0.0)
        {
            i0 = static_cast<int> (w);
            i1 = i0 + 1;
            f = w - i0;
        }
        else if (w < 0.0)
        {
            i0 = i1 = 0;
            f = 0.0;
        }
        else
        {
            i0 = i1 = last / 2;
            f = 0.0;
        }
    };

    int i0, i1, j0, j1;
    double fx, fy;
    locate (u, table.nxMinus1, i0, i1, fx);
    locate (v, table.nyMinus1, j0, j1, fy);

    const float* row0 = table.values + i0 * table.ny;
    const float* row1 = table.values + i1 * table.ny;
    return weigh (row0[j0], row1[j0], row0[j1], row1[j1], fx, fy);
}

void Diode2TableReader::useSilence()
{
    setGeometry (2, 2, 4, -1.0f, 1.0f, -1.0f, 1.0f);
    reserve (count);
    buffers.useZeros (makeView (nullptr, -1.0f));
}

void Diode2TableReader::setGeometry (int newNx, int newNy, int newCount, float newXmin, float newXmax, float newYmin, float newYmax)
{
    nx = newNx;
    ny = newNy;
    count = newCount;
    nxMinus1 = nx - 1;
    nyMinus1 = ny - 1;
    xmin = newXmin;
    xmax = newXmax;
    ymin = newYmin;
    ymax = newYmax;
    xRange = xmax - xmin;
    xOffset = xRange / 2.0f;
    xScale = static_cast<float> (nxMinus1) / xRange;
    yRange = ymax - ymin;
    yOffset = yRange / 2.0f;
    yScale = static_cast<float> (nyMinus1) / yRange;
}

Diode2TableReader::TableView Diode2TableReader::makeView (const float* values, float rate) const
{
    TableView view;
    view.values = values;
    view.nxMinus1 = nxMinus1;
    view.nyMinus1 = nyMinus1;
    view.ny = ny;
    view.xOffset = static_cast<double> (xOffset);
    view.xScale = static_cast<double> (xScale);
    view.yOffset = static_cast<double> (yOffset);
    view.yScale = static_cast<double> (yScale);
    view.xLast = static_cast<double> (nxMinus1);
    view.yLast = static_cast<double> (nyMinus1);
    view.rate = rate;
    return view;
}

float Diode2TableReader::getActiveTableRate() const noexcept
{
    return buffers.getActive().rate;
}

float Diode2TableReader::getNearestTableRate (float rate) noexcept
{
    float nearest = tableRates[0];

    for (auto candidate : tableRates)
        if (std::abs (candidate - rate) < std::abs (nearest - rate))
            nearest = candidate;

    return nearest;
}

juce::String Diode2TableReader::getTableFileName (const juce::String& tablePrefix, float rate)
{
    const float kHz = rate / 1000.0f;
    const int wholeKHz = (kHz > -2.0e9f && kHz < 2.0e9f) ? static_cast<int> (kHz) : 0;
    return tablePrefix + "Output" + juce::String (wholeKHz) + ".dat";
}

bool Diode2TableReader::acceptHeader (juce::InputStream& in, const juce::String& name, float rate, DiodeTableHeader& header)
{
    if (! header.read (in) || ! header.hasName (name) || header.version != 1 || header.rate != rate)
        return false;

    // Whatever the file says, the grid must fit the buffers it is read into.
    const bool gridFits = header.nx >= 2 && header.ny >= 2
                          && static_cast<juce::int64> (header.nx) * header.ny == header.count
                          && header.count <= buffers.getCapacity()
                          && std::isfinite (header.xmin) && std::isfinite (header.xmax) && header.xmax > header.xmin
                          && std::isfinite (header.ymin) && std::isfinite (header.ymax) && header.ymax > header.ymin;

    if (! gridFits)
        return false;

    setGeometry (header.nx, header.ny, header.count, header.xmin, header.xmax, header.ymin, header.ymax);
    return true;
}

bool Diode2TableReader::readTableFrom (juce::InputStream& in, const juce::String& name, float rate, float* destination)
{
    DiodeTableHeader header;
    return destination != nullptr && acceptHeader (in, name, rate, header) && DiodeTableHeader::readValues (in, destination, header.count);
}

bool Diode2TableReader::readTable (const juce::String& tablePrefix, float rate, float* destination)
{
    const auto name = getTableFileName (tablePrefix, rate);
    const auto in = openImageToRead (tablePrefix, name);
    return in != nullptr && readTableFrom (*in, name, rate, destination);
}

int Diode2TableReader::getTableSize()
{
    for (auto rate : tableRates)
        if (openImage (prefix, getTableFileName (prefix, rate)) == nullptr)
            return 0;

    // Every table of a set has the grid of the highest rate's.
    return readTableSize (getTableFileName (prefix, tableRates[numTableRates - 1]));
}
