package java.lang;
import java.io.InputStream;
public final class Class {
  public static native Class forName(String name) throws ClassNotFoundException;
  public native Object newInstance() throws InstantiationException, IllegalAccessException;
  public native boolean isInstance(Object o);
  public native String getName();
  public native InputStream getResourceAsStream(String name);
}
