package java.util;
public class Random {
  public Random() {}
  public Random(long seed) {}
  public native int nextInt();
}
