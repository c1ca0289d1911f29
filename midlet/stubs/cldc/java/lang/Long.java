package java.lang;
public final class Long {
  public Long(long value) {}
  public native long longValue();
  public static native long parseLong(String s) throws NumberFormatException;
  public static native String toString(long l);
}
