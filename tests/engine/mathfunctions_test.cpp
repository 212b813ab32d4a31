// The math layer's values: each function against the true result rounded to 64 bits.
//
// The rows were written by tools/generate/mathlayer-testvalues.py: mpmath at 600 bits computes each
// function of the exact extended argument and rounds it to nearest at the 64-bit significand; both
// are written as exact hexadecimal floats. The layer rounds correctly except within about 2^-100
// of a midpoint, which none of these rows is near, so every row must match to the last bit.
#include "engine_test_util.h"
#include "mathlayer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct UnaryCase {
    const char* what;
    long double argument;
    long double expected;
};

struct UnaryTable {
    long double (*function)(long double);
    const UnaryCase* rows;
    int count;
};

const UnaryCase SinCases[] = {
    {"sin(0.5)", 0x8000000000000000p-64L, 0xF57743A2582F7F44p-65L},
    {"sin(1.0)", 0x8000000000000000p-63L, 0xD76AA47848677021p-64L},
    {"sin(1.0e-10)", 0xDBE6FECEBDEDD5BFp-97L, 0xDBE6FECEBDEDD5BFp-97L},
    {"sin(3.1415926535897932385)", 0xC90FDAA22168C235p-62L, -0xECE675D1FC8F8CBBp-128L},
    {"sin(10000000000.0)", 0x9502F90000000000p-30L, -0xF99A63C4B5271A66p-65L},
    {"sin(123456789012345678.0)", 0xDB4DA5D31879A700p-7L, -0xFFB4D1DB2F2CA5B6p-64L},
    {"sin(1.5707963267948966193)", 0xC90FDAA22168C235p-63L, 0x8000000000000000p-63L},
    {"sin(3141592.6535897932386)", 0xBFBF629D46A48BD6p-42L, 0xCA0E7C5A5B202B29p-107L},
    {"sin(-7.5)", -0xF000000000000000p-61L, -0xF020C437E5717D2Bp-64L},
    {"sin(9200000000000000000.0)", 0xFF59EE833B300000p-1L, 0xE4CC1B353AB8907Bp-65L},
};
const UnaryCase CosCases[] = {
    {"cos(0.5)", 0x8000000000000000p-64L, 0xE0A94032DBEA7CEEp-64L},
    {"cos(1.0e-10)", 0xDBE6FECEBDEDD5BFp-97L, 0x8000000000000000p-63L},
    {"cos(1.5707963267948966193)", 0xC90FDAA22168C235p-63L, -0xECE675D1FC8F8CBBp-129L},
    {"cos(1000000000000000.0)", 0xE35FA931A0000000p-14L, -0x8360AA304E99F42Bp-64L},
    {"cos(4.7123889803846898579)", 0x96CBE3F9990E91A8p-61L, 0xD8D66C2EBEB5D4C6p-126L},
    {"cos(-300000000000000000.0)", -0x853A0D2313C00000p-5L, -0xF8305A5D3B350B19p-67L},
    {"cos(0.78539816339744830963)", 0xC90FDAA22168C235p-64L, 0xB504F333F9DE6484p-64L},
};
const UnaryCase TanCases[] = {
    {"tan(1.5707963267948966193)", 0xC90FDAA22168C235p-63L, -0x8A51E04DAABDA35Fp2L},
    {"tan(1.5707963250495673673)", 0xC90FDA9E61E780DBp-63L, 0x889A918C8C8ABA8Dp-34L},
    {"tan(9.9999999999999999999e-6)", 0xA7C5AC471B478423p-80L, 0xA7C5AC47334C6E4Cp-80L},
    {"tan(0.69999999999999999999)", 0xB333333333333333p-64L, 0xD7A03617E3C572A6p-64L},
    {"tan(-2500000000000.0)", -0x9184E72A00000000p-22L, -0xD9FE230496FA6DD6p-60L},
    {"tan(0.78539816339744830963)", 0xC90FDAA22168C235p-64L, 0x8000000000000000p-63L},
};
const UnaryCase AsinCases[] = {
    {"asin(0.99999999899999999998)", 0xFFFFFFFBB47D05F6p-64L, 0xC90E637BBDFD4858p-63L},
    {"asin(-0.99999999999999989998)", -0xFFFFFFFFFFFFF8CBp-64L, -0xC90FDA83C20077D6p-63L},
    {"asin(9.9999999999999999999e-6)", 0xA7C5AC471B478423p-80L, 0xA7C5AC472749F938p-80L},
    {"asin(0.5)", 0x8000000000000000p-64L, 0x860A91C16B9B2C23p-64L},
    {"asin(-0.69999999999999999999)", -0xB333333333333333p-64L, -0xC680734957ECAEEDp-64L},
    {"asin(1.0)", 0x8000000000000000p-63L, 0xC90FDAA22168C235p-63L},
};
const UnaryCase AcosCases[] = {
    {"acos(0.99999999899999999998)", 0xFFFFFFFBB47D05F6p-64L, 0xBB9331B5BCEE2348p-78L},
    {"acos(-0.99999999999999989998)", -0xFFFFFFFFFFFFF8CBp-64L, 0xC90FDA92F1B49D05p-62L},
    {"acos(0.99999999999999999902)", 0xFFFFFFFFFFFFFFEEp-64L, 0xC000000000000001p-93L},
    {"acos(0.30000000000000000001)", 0x999999999999999Ap-65L, 0xA20FAF65F77AC4C7p-63L},
    {"acos(-0.5)", -0x8000000000000000p-64L, 0x860A91C16B9B2C23p-62L},
    {"acos(-1.0)", -0x8000000000000000p-63L, 0xC90FDAA22168C235p-62L},
};
const UnaryCase AtanCases[] = {
    {"atan(9.9999999999999999997e-301)", 0xAB70FE17C79AC6CAp-1060L, 0xAB70FE17C79AC6CAp-1060L},
    {"atan(0.30000000000000000001)", 0x999999999999999Ap-65L, 0x9539D330F5782F19p-65L},
    {"atan(1.0)", 0x8000000000000000p-63L, 0xC90FDAA22168C235p-64L},
    {"atan(-7.0)", -0xE000000000000000p-61L, -0xB6E62BDDAB2FE5ACp-63L},
    {"atan(1.0e+30)", 0xC9F2C9CD04674EDFp36L, 0xC90FDAA22168C235p-63L},
    {"atan(0.99999999998999999999)", 0xFFFFFFFFF501400Fp-64L, 0xC90FDAA21BE9623Cp-64L},
    // Past 2^66 the result is pi/2 - 1/x; at the top of the range, 1/x as a pair overflowed once.
    {"atan(-2^70)", -0x8000000000000000p7L, -0xC90FDAA22168C235p-63L},
    {"atan(largest)", 0xFFFFFFFFFFFFFFFFp16320L, 0xC90FDAA22168C235p-63L},
};
const UnaryCase ExpCases[] = {
    {"exp(1.0)", 0x8000000000000000p-63L, 0xADF85458A2BB4A9Bp-62L},
    {"exp(-1.0)", -0x8000000000000000p-63L, 0xBC5AB1B16779BE35p-65L},
    {"exp(9.9999999999999999999e-16)", 0x901D7CF73AB0ACD9p-113L, 0x8000000000002407p-63L},
    {"exp(11356.49)", 0xB171F5C28F5C28F6p-50L, 0xF796D987CCB08F58p16320L},
    {"exp(-11354.99)", -0xB16BF5C28F5C28F6p-50L, 0x944931085ABBF370p-16445L},
    {"exp(0.5)", 0x8000000000000000p-64L, 0xD3094C70F034DE4Cp-63L},
    {"exp(-700.123)", -0xAF07DF3B645A1CACp-54L, 0xF4E522EFF4DCB473p-1074L},
};
const UnaryCase LogCases[] = {
    {"log(1.0000000000000000001)", 0x8000000000000001p-63L, 0xFFFFFFFFFFFFFFFFp-127L},
    {"log(2.0)", 0x8000000000000000p-62L, 0xB17217F7D1CF79ACp-64L},
    {"log(10.0)", 0xA000000000000000p-60L, 0x935D8DDDAAA8AC17p-62L},
    {"log(9.9999999999999999997e-4901)", 0xBBB4DF56BAF62972p-16341L, -0xB04AAAF66D6847DEp-50L},
    {"log(1.0e+4931)", 0xAC23C22116CBF8A4p16317L, 0xB16830394AE2EEACp-50L},
    {"log(0.99899999999999999998)", 0xFFBE76C8B4395810p-64L, -0x8323386CBCDB78EAp-73L},
    {"log(3.0e-4930)", 0xB275B07DF112AC36p-16439L, -0xB15A9565CE5D035Ep-50L},
};
const UnaryCase Log10Cases[] = {
    {"log10(1000.0)", 0xFA00000000000000p-54L, 0xC000000000000000p-62L},
    {"log10(2.0)", 0x8000000000000000p-62L, 0x9A209A84FBCFF799p-65L},
    {"log10(9.9999999999999999997e-301)", 0xAB70FE17C79AC6CAp-1060L, -0x9600000000000000p-55L},
    {"log10(0.5)", 0x8000000000000000p-64L, -0x9A209A84FBCFF799p-65L},
    {"log10(1.0e+4930)", 0x89B634E7456FFA1Dp16314L, 0x9A10000000000000p-51L},
};

template <int N>
UnaryTable Table(long double (*function)(long double), const UnaryCase (&rows)[N]) {
    return {function, rows, N};
}

TEST(MathFunctions, MatchTheTrueValueRoundedToTheLastBit) {
    const UnaryTable tables[] = {
        Table(MathSin, SinCases),   Table(MathCos, CosCases),   Table(MathTan, TanCases),
        Table(MathAsin, AsinCases), Table(MathAcos, AcosCases), Table(MathAtan, AtanCases),
        Table(MathExp, ExpCases),   Table(MathLog, LogCases),   Table(MathLog10, Log10Cases),
    };
    for (const UnaryTable& table : tables) {
        for (int i = 0; i < table.count; ++i) {
            const UnaryCase& row = table.rows[i];
            MathErrorStatus = EvalOk;
            long double result = table.function(row.argument);
            EXPECT_EQ(MathErrorStatus, EvalOk) << row.what;
            EXPECT_EQ(BitsOf(result), BitsOf(row.expected)) << row.what;
        }
    }
}

struct PowerCase {
    const char* what;
    long double x, y;
    long double expected;
};

// Exact powers (3^40, 2^-1074, (-2)^63), an exact tie that rounds to even (7^23 needs 65 bits),
// and powers next to the overflow and underflow limits.
const PowerCase PowerCases[] = {
    {"pow(3, 40)", 0xC000000000000000p-62L, 0xA000000000000000p-58L, 0xA8B8B452291FE821p0L},
    {"pow(2, -1074)", 0x8000000000000000p-62L, -0x8640000000000000p-53L, 0x8000000000000000p-1137L},
    {"pow(-2, 63)", -0x8000000000000000p-62L, 0xFC00000000000000p-58L, -0x8000000000000000p0L},
    {"pow(7, 23)", 0xE000000000000000p-61L, 0xB800000000000000p-59L, 0xBDE8A959987853BCp1L},
    {"pow(1.5, 28008.1)", 0xC000000000000000p-63L, 0xDAD0333333333333p-49L,
     0xCE3EC2C19DAC379Cp16320L},
    {"pow(2, 0.5)", 0x8000000000000000p-62L, 0x8000000000000000p-64L, 0xB504F333F9DE6484p-63L},
    {"pow(10, -4931.413842011424502942418)", 0xA000000000000000p-60L, -0x9A1B4F8C66863B98p-51L,
     0x92CF78AB80195D35p-16445L},
    {"pow(1.0000001, 1e7)", 0x800000D6BF94D5E5p-63L, 0x9896800000000000p-40L,
     0xADF853C6B29131A5p-62L},
    {"pow(0.1, -3.5)", 0xCCCCCCCCCCCCCCCDp-67L, -0xE000000000000000p-62L, 0xC5A4714BC9E97514p-52L},
    {"pow(2, 16383.96623185551293477857)", 0x8000000000000000p-62L, 0xFFFFDD6BE22F2035p-50L,
     0xFA13DBA329DD4A6Cp16320L},
};

TEST(MathFunctions, PowersAreExactWhenRepresentableAndCorrectlyRoundedOtherwise) {
    for (const PowerCase& row : PowerCases) {
        MathErrorStatus = EvalOk;
        long double result = MathPow(row.x, row.y);
        EXPECT_EQ(MathErrorStatus, EvalOk) << row.what;
        EXPECT_EQ(BitsOf(result), BitsOf(row.expected)) << row.what;
    }
}

TEST(MathFunctions, SignedZerosPassThrough) {
    const struct {
        const char* what;
        long double (*function)(long double);
    } odd[] = {{"sin", MathSin}, {"tan", MathTan}, {"asin", MathAsin}, {"atan", MathAtan}};
    for (const auto& row : odd) {
        EXPECT_EQ(BitsOf(row.function(-0.0L)), BitsOf(-0.0L)) << row.what;
        EXPECT_EQ(BitsOf(row.function(0.0L)), BitsOf(0.0L)) << row.what;
    }
    EXPECT_EQ(MathCos(-0.0L), 1.0L);
    EXPECT_EQ(BitsOf(MathPow(-0.0L, 3)), BitsOf(-0.0L));
    EXPECT_EQ(BitsOf(MathPow(-0.0L, 2)), BitsOf(0.0L));
    EXPECT_EQ(BitsOf(MathLog(1)), BitsOf(0.0L));
    EXPECT_EQ(BitsOf(MathAcos(1)), BitsOf(0.0L));
}

#if defined(__i386__) || defined(__x86_64__)
// A thread that Windows starts without the runtime's help has the x87 unit at 53 bits; the
// evaluator must compute as it does at 64 bits, and hand the caller's setting back.
TEST(Evaluation, ComputesAtSixtyFourBitsWhateverTheCallerSet) {
    const char* const lines[] = {
        "0.1",
        "1.0000000000000000001",
        "2/3",
        "12345678901234567890.5",
        "1e-4000*1e4000",
        "sin(30)",
        "tan(90-1e-9)",
        "acos(0.999999999)",
        "2^0.5",
        "exp(1)",
        "log(10)",
        "cur(27)",
        "3.362103143112093506080418e-4932*1e4932",
    };
    long double expected[sizeof lines / sizeof lines[0]];
    int count = 0;
    for (const char* line : lines) {
        ASSERT_EQ(EvaluateExpression(line, &expected[count++]), EvalOk) << line;
    }
    const unsigned short saved = X87ControlWord();
    // Precision control 10 (53 bits), and then also rounding toward zero.
    const unsigned short narrowed[] = {
        static_cast<unsigned short>((saved & ~X87ControlMask) | 0x0200),
        static_cast<unsigned short>((saved & ~X87ControlMask) | 0x0E00)};
    for (unsigned short word : narrowed) {
        SetX87ControlWord(word);
        long double values[sizeof lines / sizeof lines[0]];
        EvalStatus statuses[sizeof lines / sizeof lines[0]];
        for (int i = 0; i < count; ++i) {
            statuses[i] = EvaluateExpression(lines[i], &values[i]);
        }
        unsigned short after = X87ControlWord();
        SetX87ControlWord(saved);
        EXPECT_EQ(after, word);
        for (int i = 0; i < count; ++i) {
            EXPECT_EQ(statuses[i], EvalOk) << lines[i];
            EXPECT_EQ(BitsOf(values[i]), BitsOf(expected[i])) << lines[i] << " at " << word;
        }
    }
}
#endif

} // namespace
